// The web game in real browsers, headless Chromium, Firefox ESR and
// WebKitGTK, played as a player would: the first frame, swaps, the cursor,
// the menu by mouse and keys on any layout, quitting, sound on any network and
// after an interruption, offline play and updates, and high density. Each
// subject is a file of its own under game/; all run in one browser per engine.
import { after, afterEach, before, describe } from 'node:test';
import { Harness, engines } from './harness.mjs';
import { boardSuite } from './game/board.mjs';
import { cueRequestsSuite } from './game/cuerequests.mjs';
import { keysSuite } from './game/keys.mjs';
import { menuSuite } from './game/menu.mjs';
import { offlineSuite } from './game/offline.mjs';
import { screenReaderSuite } from './game/screenreader.mjs';
import { soundSuite } from './game/sound.mjs';
import { tempoSuite } from './game/tempo.mjs';

for (const engine of engines) {
  describe(engine, () => {
    const harness = new Harness(engine);
    before(async () => {
      await harness.launch();
      harness.site('game');
    });
    after(() => harness.stop());
    afterEach(() => harness.closePages());
    boardSuite(harness);
    tempoSuite(harness);
    menuSuite(harness);
    soundSuite(harness);
    cueRequestsSuite(harness);
    offlineSuite(harness);
    if (engine === 'chromium') {
      keysSuite(harness);
      screenReaderSuite(harness);
    }
  });
}
