// The page's script, sound: the program's cues through Web Audio, played
// from the samples the program made for them, and M, which turns sound off
// and on for this browser. A browser plays nothing before the player's
// first tap or key, so the audio starts with that. A game being built again
// stays silent. zarta-page.js holds this file at build time.

const soundChoiceKey = 'zarta-sound';
const sound = {
  on: readSoundChoice(),
  audio: null,   // the AudioContext, made at the first input while sound is on
  samples: [],   // by cue: {samples, rate} as the program sent them
  buffers: [],   // by cue: the same made into an AudioBuffer
  endsAt: 0,     // when the last cue started ends, on the audio's clock
};
// What tests read: whether sound is on and started, each cue the program
// sounded (the latest few thousand), and how many of them were played.
page.sound = {on: sound.on, started: false, cues: [], played: 0};

function readSoundChoice() {
  try {
    return localStorage.getItem(soundChoiceKey) !== 'off';
  } catch {
    return true;
  }
}

// Called from the player's own input, where a browser lets audio start.
function startAudio() {
  if (!sound.on)
    return;
  if (sound.audio) {
    if (sound.audio.state === 'suspended')
      sound.audio.resume();
    return;
  }
  const Audio = window.AudioContext || window.webkitAudioContext;
  if (!Audio)
    return;
  try {
    sound.audio = new Audio();
    page.sound.started = true;
  } catch (error) {
    console.warn(`Zarta plays without sound: ${error}`);
  }
}
for (const type of ['pointerdown', 'keydown'])
  window.addEventListener(type, startAudio, {capture: true});

// M is the page's alone: the program never sees it, so a game built again
// from its inputs cannot turn sound over.
window.addEventListener('keydown', (event) => {
  if (event.key.toUpperCase() !== String.fromCharCode(soundKey) || event.ctrlKey || event.altKey || event.metaKey ||
      event.target instanceof HTMLSelectElement)
    return;
  event.preventDefault();
  event.stopImmediatePropagation();
  if (event.repeat)
    return;
  sound.on = !sound.on;
  page.sound.on = sound.on;
  try {
    localStorage.setItem(soundChoiceKey, sound.on ? 'on' : 'off');
  } catch (error) {
    console.warn(`the sound choice is not kept: ${error}`);
  }
  announce(sound.on ? 'Sound on' : 'Sound off');
  if (sound.on)
    startAudio();
  else if (sound.audio)
    sound.audio.suspend();
}, {capture: true});

function playCue(cue) {
  const {audio} = sound;
  let buffer = sound.buffers[cue];
  if (!buffer) {
    const {samples, rate} = sound.samples[cue];
    buffer = audio.createBuffer(1, samples.length, rate);
    buffer.copyToChannel(samples, 0);
    sound.buffers[cue] = buffer;
  }
  const source = audio.createBufferSource();
  source.buffer = buffer;
  source.connect(audio.destination);
  // After what still sounds, as the desktop queues them; what would wait
  // long behind it starts at once, or it would no longer go with the board.
  const now = audio.currentTime;
  const at = sound.endsAt - now > 1.5 ? now : Math.max(now, sound.endsAt);
  source.start(at);
  sound.endsAt = at + buffer.duration;
  page.sound.played += 1;
}

// The program's call, gathered into Module.zarta by program.js: a cue to
// sound now, with its samples the first time it sounds.
const soundCalls = {
  cue(cue, samples, rate) {
    if (samples)
      sound.samples[cue] = {samples, rate};
    page.sound.cues.push(cueNames[cue]);
    if (page.sound.cues.length > 4000)
      page.sound.cues.splice(0, 1000);
    if (sound.on && !rebuild && sound.audio && sound.samples[cue])
      playCue(cue);
  },
};
