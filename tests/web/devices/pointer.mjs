// The device's own pointer on the board in Chromium's emulation: taps and
// swipes through the DevTools protocol's touch events, clicks by the mouse.
import { design } from '../harness.mjs';

async function boardRect(page) {
  return page.$eval('#board', (board) => { const r = board.getBoundingClientRect(); return { x: r.x, y: r.y, width: r.width, height: r.height }; });
}

// The viewport point, in CSS pixels, of the middle of a client pixel.
export async function at(page, x, y) {
  const rect = await boardRect(page);
  return { x: rect.x + ((x + 0.5) * rect.width) / design.clientWidth, y: rect.y + ((y + 0.5) * rect.height) / design.clientHeight };
}

export async function touch(page, type, point) {
  const session = page.cdp ||= await page.createCDPSession();
  await session.send('Input.dispatchTouchEvent', { type, touchPoints: point ? [{ x: point.x, y: point.y }] : [] });
}

// A press at a viewport point by the device's own pointer: a tap, or a click.
export async function pressPoint(page, device, point) {
  if (device.touch) {
    await touch(page, 'touchStart', point);
    await touch(page, 'touchEnd');
  } else {
    await page.mouse.click(point.x, point.y);
  }
}

// A press at a client point of the board.
export async function press(page, device, x, y) {
  await pressPoint(page, device, await at(page, x, y));
}

// A finger from one client point to another, in a few steps.
export async function swipe(page, from, to) {
  const start = await at(page, ...from);
  const end = await at(page, ...to);
  await touch(page, 'touchStart', start);
  for (const step of [1, 2, 3])
    await touch(page, 'touchMove', { x: start.x + ((end.x - start.x) * step) / 3, y: start.y + ((end.y - start.y) * step) / 3 });
  await touch(page, 'touchEnd');
}

// A press in the middle of an element of the page.
export async function pressElement(page, device, selector) {
  const box = await (await page.$(selector)).boundingBox();
  await pressPoint(page, device, { x: box.x + box.width / 2, y: box.y + box.height / 2 });
}
