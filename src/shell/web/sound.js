// The game's cues on the page. Sound never holds up the board: it is set up
// once a request has been handed to the game, its frame drawn and any swap
// over, and a cue that is not ready when asked for is skipped.
import { whenIdle } from './ticker.js';

// A cue whose file arrives later than this after its request is kept for
// the next request, not played late.
const LateMs = 150;
// A page shown again after being hidden this long asks the server once
// more whether a cue file changed, at that cue's next request.
const StaleMs = 60 * 60 * 1000;

// Each cue is kept decoded, with the validator (ETag or Last-Modified) its file
// came with, and a request starts the kept one at once. A file comes from the
// service worker's cache when the page has one, and at the cue's first request
// the page then asks the server once, by a conditional request, whether the
// file changed: a changed file is decoded and plays from the next request on.
// A file fetched from the server itself is fresh as it comes. Offline the kept
// one plays; a missing or broken file is silent.
let audio = null;
let settingUp = false;
let playing = null; // the cue that sounds now
let latest = null; // the newest request: { file, at }
let files = []; // every cue's file, all loaded once sound is set up
let hiddenAt = 0;
const cues = new Map(); // file name -> { buffer, etag, modified, checked }; buffer null: silent
const loads = new Map(); // file name -> its load under way

// Before the player's first gesture the browser allows no sound at all; a
// browser that cannot tell gets a context that waits to be resumed.
function allowed() {
  const activation = navigator.userActivation;
  return !activation || activation.hasBeenActive;
}

// The context is resumed when the browser has suspended it or (Safari) a call
// or another app has interrupted it; a cue started meanwhile sounds once it
// runs again.
function resume() {
  if (audio && (audio.state === 'suspended' || audio.state === 'interrupted'))
    audio.resume().catch(() => {});
}

// Creates the context, once the frame after the request has been drawn and
// no swap runs any more (its creation may take a long while on a phone), and
// loads every cue for the requests to come.
function setUpSoon() {
  if (settingUp)
    return;
  settingUp = true;
  requestAnimationFrame(() => setTimeout(() => whenIdle(() => {
    audio = new AudioContext();
    resume();
    for (const file of files)
      load(file);
  })));
}

// Reads a response into a kept cue: decoded, or null when it is no sound.
async function keep(file, response, checked) {
  let buffer = null;
  // WebKit decodes a file without samples to an empty buffer; it is no sound.
  if (response.ok)
    buffer = await audio.decodeAudioData(await response.arrayBuffer())
      .then((decoded) => (decoded.length ? decoded : null), () => null);
  else
    response.body?.cancel();
  const entry = { buffer, etag: response.headers.get('ETag'), modified: response.headers.get('Last-Modified'), checked };
  cues.set(file, entry);
  return entry;
}

// Loads a cue file once; from the server it needs no check, from the
// worker's cache it is checked at its first request. A failed load keeps
// nothing and may be tried again.
function load(file) {
  if (!loads.has(file)) {
    const fromServer = !navigator.serviceWorker?.controller;
    loads.set(file, fetch(file, { cache: 'no-store' }).then((response) => keep(file, response, fromServer))
      .finally(() => loads.delete(file)));
  }
  return loads.get(file);
}

// Asks the server whether a kept file changed, by a conditional request, and
// keeps what comes. The question is asked once whatever its answer: offline,
// the kept file stays.
function check(file, kept) {
  kept.checked = true;
  const headers = {};
  if (kept.etag)
    headers['If-None-Match'] = kept.etag;
  if (kept.modified)
    headers['If-Modified-Since'] = kept.modified;
  fetch(file, { cache: 'no-store', headers }).then((response) => {
    if (response.status !== 304)
      return keep(file, response, true);
    return null;
  }).catch(() => {});
}

function startCue(buffer) {
  playing = audio.createBufferSource();
  playing.buffer = buffer;
  playing.connect(audio.destination);
  playing.start();
}

// The files of the game's cues, and the gestures that let sound in: a touch
// counts as the player's gesture only when the finger lifts, and Safari
// resumes a context only inside one.
export function listenForGestures(cueFiles) {
  files = cueFiles;
  for (const type of ['pointerup', 'keydown'])
    document.addEventListener(type, resume, true);
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden')
      hiddenAt = Date.now();
    else if (hiddenAt && Date.now() - hiddenAt >= StaleMs) {
      for (const kept of cues.values())
        kept.checked = false;
    }
  });
}

// Plays a cue file, cutting off the one still playing. Returns 1 when sound
// is allowed, 0 before the player's first gesture.
export function play(file) {
  // A newer request cuts off whatever still plays, even when it fails.
  if (playing) {
    playing.stop();
    playing = null;
  }
  if (!allowed())
    return 0;
  const request = { file, at: performance.now() };
  latest = request;
  if (!audio) {
    setUpSoon();
    return 1;
  }
  const kept = cues.get(file);
  if (kept?.buffer)
    startCue(kept.buffer);
  if (kept && !kept.checked)
    check(file, kept);
  if (!kept) {
    load(file).then(({ buffer }) => {
      if (buffer && latest === request && performance.now() - request.at <= LateMs)
        startCue(buffer);
    }, () => {});
  }
  return 1;
}
