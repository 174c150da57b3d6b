// The browser build's calls into JavaScript: the canvas, keys, progress and Web Audio.
// They live on Module.korvidPage, which the page script sets up before the program starts;
// without it (node) they show nothing, report no key and open no sound.

mergeInto(LibraryManager.library, {
  // The browser's next turn without the clamp of at least 4 ms that nested timers get: a
  // message to ourselves runs as soon as the browser has drawn and taken its events.
  $korvidNextTask__deps: ['$korvidTasks'],
  $korvidNextTask: function (callback) {
    if (!korvidTasks.channel) {
      korvidTasks.channel = new MessageChannel();
      korvidTasks.channel.port1.onmessage = function () { korvidTasks.queue.shift()(); };
    }
    korvidTasks.queue.push(callback);
    korvidTasks.channel.port2.postMessage(0);
  },
  $korvidTasks: { channel: null, queue: [] },

  // Waits `ms` milliseconds with the program unwound (Asyncify), the browser running. The
  // browser gets its turn first through a message and only then is the timer set: timers
  // set from timers are held back to 4 ms or more, so a frame's 1 ms would become 4.
  web_page_sleep__deps: ['$korvidNextTask', '$callUserCallback', '$runtimeKeepalivePush',
                         '$runtimeKeepalivePop'],
  web_page_sleep: function (ms) {
    Asyncify.handleSleep(function (wakeUp) {
      var until = performance.now() + ms;
      runtimeKeepalivePush();
      function check() {
        var left = until - performance.now();
        if (left > 0) {
          setTimeout(check, left);
        } else {
          runtimeKeepalivePop();
          callUserCallback(wakeUp);
        }
      }
      korvidNextTask(check);
    });
  },

  web_page_draw: function (rgba, width, height) {
    var page = Module['korvidPage'];
    if (page) page.draw(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
  },

  web_page_progress: function (fraction) {
    var page = Module['korvidPage'];
    if (page) page.decoding(fraction);
  },

  web_page_next_key: function (symbol, down) {
    var page = Module['korvidPage'];
    var key = page && page.keys.shift();
    if (!key) return 0;
    HEAP32[symbol >> 2] = key.symbol;
    HEAP32[down >> 2] = key.down ? 1 : 0;
    return 1;
  },

  web_audio_open: function () {
    var page = Module['korvidPage'];
    return page && page.openAudio() ? 1 : 0;
  },

  web_audio_gesture: function () {
    return Module['korvidPage'].awaitGesture() ? 1 : 0;
  },

  web_audio_resume: function () {
    var audio = Module['korvidPage'].audio;
    if (audio.context.state !== 'running') audio.context.resume();
    return 1;
  },

  web_audio_running: function () {
    return Module['korvidPage'].audio.context.state === 'running' ? 1 : 0;
  },

  // One AudioBuffer of the whole stream, at the stream's rate: the browser converts it to
  // the device's as it plays.
  web_audio_prepare: function (frames) {
    var audio = Module['korvidPage'].audio;
    try {
      audio.buffer = audio.context.createBuffer(2, Math.max(frames, 1), 44100);
    } catch (e) {
      return 0;
    }
    return 1;
  },

  web_audio_fill: function (samples, firstFrame, frames) {
    var buffer = Module['korvidPage'].audio.buffer;
    var left = buffer.getChannelData(0), right = buffer.getChannelData(1);
    var at = samples >> 1;
    for (var i = 0; i < frames; ++i) {
      left[firstFrame + i] = HEAP16[at++] / 32768;
      right[firstFrame + i] = HEAP16[at++] / 32768;
    }
  },

  // Starts the buffer `lead` seconds from now at `offset` seconds into it, and returns the
  // audio clock's time for that start.
  web_audio_play: function (lead, offset) {
    var page = Module['korvidPage'];
    var audio = page.audio;
    var source = audio.context.createBufferSource();
    source.buffer = audio.buffer;
    source.connect(audio.context.destination);
    var when = audio.context.currentTime + lead;
    source.start(when, offset);
    audio.source = source;
    page.playing();
    return when;
  },

  // The audio clock's time of the sample being heard, and the page's clock when it is
  // heard. getOutputTimestamp gives both, the output's latency included; without it, the
  // clock's time less the latency the context states, heard now.
  web_audio_timestamp: function (contextSeconds, performanceMs) {
    var context = Module['korvidPage'].audio.context;
    var context_time, performance_time;
    if (context.getOutputTimestamp) {
      var stamp = context.getOutputTimestamp();
      context_time = stamp.contextTime;
      performance_time = stamp.performanceTime;
    }
    if (!(context_time > 0) || !(performance_time > 0)) {
      context_time = context.currentTime - (context.outputLatency || context.baseLatency || 0);
      performance_time = performance.now();
    }
    HEAPF64[contextSeconds >> 3] = context_time;
    HEAPF64[performanceMs >> 3] = performance_time;
    return 1;
  },

  web_audio_stop: function () {
    var page = Module['korvidPage'];
    var audio = page && page.audio;
    if (audio && audio.source) {
      audio.source.stop();
      audio.source.disconnect();
      audio.source = null;
    }
  },

  web_audio_close: function () {
    var audio = Module['korvidPage'].audio;
    if (audio.source) audio.source.stop();
    audio.source = null;
    audio.buffer = null;
    audio.context.close();
  },
});
