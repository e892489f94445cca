// Runs Lighthouse (pinned in package.json) on the built site, served by
// tools/serve-web, with its mobile and desktop presets, and prints every
// category's score.
//   node bench/lighthouse/scores.mjs SITE_FOLDER
import { spawn } from 'node:child_process';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import lighthouse from 'lighthouse';
import * as chromeLauncher from 'chrome-launcher';
import desktop from 'lighthouse/core/config/desktop-config.js';

const here = dirname(fileURLToPath(import.meta.url));
const server = spawn('python3', [join(here, '..', '..', 'tools', 'serve-web'), process.argv[2]], { stdio: ['ignore', 'pipe', 'ignore'] });
const url = await new Promise((resolve) => server.stdout.setEncoding('utf8').once('data', (line) => resolve(line.trim())));
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
