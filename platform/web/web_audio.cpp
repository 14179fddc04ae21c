// The web backend's sound: Web Audio at the game's rate, fed from the mixer in blocks that an
// AudioWorklet plays (a ScriptProcessorNode only where the page has no AudioWorklet), held while
// the game is paused or the tab hidden, and started by the page at the player's gestures.
#include "platform/platform.h"
#include "platform/web/web_internal.h"
#include <emscripten.h>
#include <cstring>

// The bodies of these are JavaScript, which clang-format would take for C++.
// clang-format off
// Opens Web Audio at the wanted rate (or the device's) and keeps two blocks of at least frames
// stereo frames queued ahead of the output, each mixed by web_audio_pull when the output has
// used one up. The output stays suspended until the page calls Module.fwAudio.start() at a
// gesture (or at once when one came before). The real rate, or 0.
EM_JS(int, web_audio_open, (int rate, int frames), {
    var AC = window.AudioContext || window.webkitAudioContext;
    if (!AC) return 0;
    var n = 256;
    while (n < frames && n < 16384)
        n *= 2;
    // The output's own buffer as long as one block: the blocks already queue that much ahead,
    // and a shorter buffer only wakes the sound threads more often (about twice the processor).
    var ctx;
    try {
        ctx = new AC({sampleRate : rate, latencyHint : n / rate});
    } catch (e) {
        try {
            ctx = new AC();
        } catch (e2) {
            return 0;
        }
    }
    var buf = _malloc(n * 4);
    var a = {ctx : ctx, node : null, buf : buf, n : n, closed : false};
    // One block of n frames from the mixer, interleaved 16-bit samples (a copy).
    a.mix = function() {
        _web_audio_pull(buf, n);
        Module.fwAudioBlocks = (Module.fwAudioBlocks || 0) + 1;
        return HEAP16.slice(buf >> 1, (buf >> 1) + 2 * n);
    };
    // The output runs exactly while the player has let the sound start, the tab shows and the
    // game is not paused. Each change asks for that, and so does each change of the context's
    // state: a resume still on its way when the game paused is suspended as it lands, and the
    // state read is always what plays. played: the browser has let it run once.
    a.played = false;
    a.apply = function() {
        if (a.closed) return;
        var want = Module.fwSoundAllowed && !document.hidden && !Module.fwAudioHeld;
        if (want && ctx.state == "suspended")
            ctx.resume().catch(function() {});
        else if (!want && ctx.state == "running")
            ctx.suspend().catch(function() {});
    };
    a.start = function() {
        Module.fwSoundAllowed = true;
        a.apply();
    };
    a.vis = a.apply;
    ctx.onstatechange = function() {
        if (ctx.state == "running") a.played = true;
        a.apply();
        if (Module.onSoundState) Module.onSoundState(ctx.state);
    };
    document.addEventListener("visibilitychange", a.vis);
    if (ctx.audioWorklet && window.AudioWorkletNode) {
        // The processor plays the queued blocks and asks for one more each time it finishes one;
        // a late block is heard as silence, never as a stall of the game.
        var src = [
            "class FarwakeOut extends AudioWorkletProcessor {",
            " constructor() { super(); this.q = []; this.pos = 0;",
            "  this.port.onmessage = (e) => { this.q.push(e.data); }; }",
            " process(inputs, outputs) {",
            "  const l = outputs[0][0], r = outputs[0][1] || l; let i = 0;",
            "  while (i < l.length && this.q.length) { const b = this.q[0];",
            "   while (i < l.length && this.pos < b.length) {",
            "    l[i] = b[this.pos] / 32768; r[i] = b[this.pos + 1] / 32768; i++; this.pos += 2; }",
            "   if (this.pos >= b.length) { this.q.shift(); this.pos = 0; this.port.postMessage(1); } }",
            "  for (; i < l.length; i++) { l[i] = 0; r[i] = 0; }",
            "  return true; } }",
            "registerProcessor('farwake-out', FarwakeOut);"
        ].join("\n");
        var url = URL.createObjectURL(new Blob([src], {type : "text/javascript"}));
        ctx.audioWorklet.addModule(url).then(function() {
            if (a.closed) return;
            a.node = new AudioWorkletNode(ctx, "farwake-out",
                                          {numberOfInputs : 0, outputChannelCount : [2]});
            var send = function() {
                if (a.closed) return;
                var block = a.mix();
                a.node.port.postMessage(block, [block.buffer]);
            };
            a.node.port.onmessage = send;
            send();
            send();
            a.node.connect(ctx.destination);
        }).catch(function(e) { console.warn("farwake: no sound: " + e); });
    } else {
        a.node = ctx.createScriptProcessor(n, 0, 2);
        a.node.onaudioprocess = function(ev) {
            var block = a.mix(), l = ev.outputBuffer.getChannelData(0);
            var r = ev.outputBuffer.getChannelData(1), k = Math.min(l.length, n);
            for (var i = 0; i < k; i++) {
                l[i] = block[2 * i] / 32768;
                r[i] = block[2 * i + 1] / 32768;
            }
        };
        a.node.connect(ctx.destination);
    }
    Module.fwAudio = a;
    if (Module.fwSoundAllowed) a.start();
    return ctx.sampleRate | 0;
});

// The game's pause holds the output (its looping sounds with it) until it is let go.
EM_JS(void, web_audio_hold, (int on), {
    Module.fwAudioHeld = on;
    if (Module.fwAudio) Module.fwAudio.apply();
});

EM_JS(void, web_audio_close, (), {
    var a = Module.fwAudio;
    if (!a) return;
    a.closed = true;
    if (a.node) {
        a.node.onaudioprocess = null;
        if (a.node.port) a.node.port.onmessage = null;
        a.node.disconnect();
    }
    document.removeEventListener("visibilitychange", a.vis);
    a.ctx.onstatechange = null;
    a.ctx.close();
    _free(a.buf);
    Module.fwAudio = null;
});
// clang-format on

namespace {

Plat_Audio_Callback audio_cb = nullptr;
void *audio_user = nullptr;
} // namespace

// Fills frames stereo frames for the page's audio output; the mixer runs between game frames,
// never inside one, as the page has one thread.
extern "C" EMSCRIPTEN_KEEPALIVE void web_audio_pull(int16_t *out, int frames) {
    if (audio_cb)
        audio_cb(out, frames, audio_user);
    else
        std::memset(out, 0, sizeof(int16_t) * 2 * (size_t)frames);
}

void Web_Audio_Hold(int on) {
    web_audio_hold(on ? 1 : 0);
}

int Plat_Audio_Open(int want_rate, int buffer_frames, Plat_Audio_Callback cb, void *user,
                    int *rate) {
    Plat_Audio_Close();
    if (!cb || want_rate <= 0 || buffer_frames <= 0) {
        Web_Set_Error("bad audio request");
        return 0;
    }
    audio_cb = cb;
    audio_user = user;
    int real = web_audio_open(want_rate, buffer_frames);
    if (real <= 0) {
        audio_cb = nullptr;
        Web_Set_Error("this browser has no Web Audio");
        return 0;
    }
    if (rate) *rate = real;
    return 1;
}

void Plat_Audio_Close() {
    web_audio_close();
    audio_cb = nullptr;
    audio_user = nullptr;
}
