// The game's cues on the page: each file kept decoded and started at once.

// Each cue is kept decoded, with the validator (ETag or Last-Modified) its file
// came with, and a request starts the kept one at once: no cue waits for the
// network. Each request then asks the server in the background, by a
// conditional request, whether the file changed; a changed file is decoded and
// plays from the next request on, so a cue replaced beside the page is heard.
// A cue not kept yet plays when it has arrived, unless a newer request came
// meanwhile. Offline the kept one plays; a missing or broken file is silent.
let audio = null;
let playing = null; // the cue that sounds now
let lastRequest = 0;
const cues = new Map(); // file name -> { buffer, etag, modified }; buffer null: silent
const checks = new Map(); // file name -> the question to the server under way

// The context, created at the first gesture and resumed at each later one
// when the browser has suspended it or (Safari) a call or another app has
// interrupted it; a cue started meanwhile sounds once it runs again.
function audioContext() {
  // Before the player's first gesture the browser allows no sound at all; a
  // browser that cannot tell gets a context that waits to be resumed.
  const activation = navigator.userActivation;
  if (!audio && (!activation || activation.hasBeenActive))
    audio = new AudioContext();
  if (audio && (audio.state === 'suspended' || audio.state === 'interrupted'))
    audio.resume().catch(() => {});
  return audio;
}

// Asks for a cue file, conditionally when one is kept, and keeps what comes:
// a changed file decoded (null when it is no sound), or nothing when the file
// has gone. Returns the buffer kept now; a failed request throws, and the
// kept one stays.
async function checkCue(file, audio) {
  const kept = cues.get(file);
  const headers = {};
  if (kept?.etag)
    headers['If-None-Match'] = kept.etag;
  if (kept?.modified)
    headers['If-Modified-Since'] = kept.modified;
  const response = await fetch(file, { cache: 'no-store', headers });
  if (response.status === 304)
    return kept?.buffer ?? null;
  let buffer = null;
  // WebKit decodes a file without samples to an empty buffer; it is no sound.
  if (response.ok)
    buffer = await audio.decodeAudioData(await response.arrayBuffer())
      .then((decoded) => (decoded.length ? decoded : null), () => null);
  else
    response.body?.cancel();
  cues.set(file, { buffer, etag: response.headers.get('ETag'), modified: response.headers.get('Last-Modified') });
  return buffer;
}

function startCue(audio, buffer) {
  playing = audio.createBufferSource();
  playing.buffer = buffer;
  playing.connect(audio.destination);
  playing.start();
}

// A touch counts as the player's gesture only when the finger lifts, which is
// after its press has asked for a cue: the sound is let in then. Listens from
// the moment the game is there.
export function listenForGestures() {
  for (const type of ['pointerup', 'keydown'])
    document.addEventListener(type, audioContext, true);
}

// Plays a cue file, cutting off the one still playing. Returns 1 when sound
// is allowed, 0 before the player's first gesture.
export function play(file) {
  // A newer request cuts off whatever still plays, even when it fails.
  if (playing) {
    playing.stop();
    playing = null;
  }
  const request = ++lastRequest;
  const audio = audioContext();
  if (!audio)
    return 0;
  const kept = cues.get(file)?.buffer;
  if (kept)
    startCue(audio, kept);
  // One question per file at a time; requests made meanwhile share it.
  let check = checks.get(file);
  if (!check) {
    check = checkCue(file, audio).finally(() => checks.delete(file));
    checks.set(file, check);
  }
  check.then((buffer) => {
    if (!kept && buffer && request === lastRequest)
      startCue(audio, buffer);
  }).catch(() => {});
  return 1;
}
