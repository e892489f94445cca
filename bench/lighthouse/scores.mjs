// Runs Lighthouse (pinned in package.json) on the built site, served by
// tools/serve-web, with its mobile and desktop presets, and prints every
// category's score.
//   node bench/lighthouse/scores.mjs SITE_FOLDER
import lighthouse from 'lighthouse';
import * as chromeLauncher from 'chrome-launcher';
import desktop from 'lighthouse/core/config/desktop-config.js';
import { serveFolder } from '../../tests/web/harness.mjs';

const { server, url } = await serveFolder(process.argv[2], 'ignore');
const chrome = await chromeLauncher.launch({
  chromePath: process.env.PELLORIN_CHROMIUM || '/usr/bin/chromium',
  chromeFlags: ['--headless=new', '--no-sandbox', '--disable-gpu'],
});
try {
  for (const [name, config] of [['mobile', undefined], ['desktop', desktop]]) {
    const { lhr } = await lighthouse(url, { port: chrome.port, output: 'json', logLevel: 'error' }, config);
    const scores = Object.values(lhr.categories).map((category) => `${category.title} ${Math.round(category.score * 100)}`);
    console.log(`Lighthouse ${lhr.lighthouseVersion}, ${name}: ${scores.join(', ')}`);
    for (const audit of Object.values(lhr.audits))
      if (audit.score !== null && audit.score < 1 && audit.scoreDisplayMode === 'binary')
        console.log(`  missed: ${audit.id}`);
  }
} finally {
  await chrome.kill();
  server.kill();
}
