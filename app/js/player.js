// Plays the preview's loop in place: the signals travel along their wires while the rest of
// the artwork stands still, as the loop export writes it. Frames are drawn by the plug-in
// from the last preview (nothing is generated), at the loop settings of the export panel.
// A frame is asked for only once the previous one is on screen, and the frame shown is the
// one due by the clock, so a slow machine skips frames instead of falling behind and the
// page stays free for input.
Studio.Player = function (preview, loopOptions, isIdle) {
    var self = this;
    this.preview = preview;
    this.loopOptions = loopOptions;
    this.isIdle = isIdle || function () { return true; };
    this.playing = false;
    this.frame = 0;
    this.requested = 0;
    this.framesShown = 0;
    this.loading = false;
    // True from a new generation until its still is on screen: a loop frame requested in
    // between would replace the still before it loads, and what waits for it would wait on.
    this.waitingForStill = false;
    this.regenerated = false;
    this.timer = null;
    this.listeners = [];
    preview.on('frame', function () { self.frameShown(); });
    preview.on('generated', function () {
        self.loading = false;
        self.waitingForStill = true;
    });
    preview.on('shown', function () {
        self.waitingForStill = false;
        if (self.playing) self.schedule(0);
    });
};

Studio.Player.prototype = {
    // fn(playing) when playing starts or stops.
    onChange: function (fn) {
        this.listeners.push(fn);
    },

    toggle: function () {
        if (this.playing) this.pause();
        else this.play();
    },

    play: function () {
        if (this.playing) return;
        var fps = this.loopOptions().fps;
        this.playing = true;
        this.regenerated = false;
        // Resumes at the frame it paused on.
        this.started = Date.now() - (this.frame + 1) * 1000 / fps;
        this.schedule(0);
        this.changed();
    },

    pause: function () {
        if (!this.playing) return;
        this.playing = false;
        this.loading = false;
        clearTimeout(this.timer);
        this.timer = null;
        this.preview.showStill();
        this.changed();
    },

    changed: function () {
        var playing = this.playing;
        this.listeners.forEach(function (fn) { fn(playing); });
    },

    schedule: function (ms) {
        var self = this;
        if (this.timer) return;
        this.timer = setTimeout(function () {
            self.timer = null;
            self.step();
        }, Math.max(0, ms));
    },

    // Shows the frame the clock has reached, unless it is on screen already.
    step: function () {
        // A preview being drawn comes first; playing goes on once it is shown.
        if (!this.playing || this.loading || this.waitingForStill || this.preview.isBusy()) return;
        // An export, a batch or the variation page has the generator; try again when it is
        // done, and then one more preview may be needed.
        if (!this.isIdle()) {
            this.regenerated = false;
            return this.schedule(200);
        }
        var loop = this.loopOptions();
        var period = 1000 / loop.fps;
        var due = Math.floor((Date.now() - this.started) / period);
        var frame = due % loop.frames;
        if (frame === this.frame && this.framesShown > 0 && this.frames === loop.frames)
            return this.schedule(this.started + (due + 1) * period - Date.now());
        if (!llumatrace.previewLoopFrame(frame, loop.frames)) return this.stalled();
        this.frame = frame;
        this.frames = loop.frames;
        this.regenerated = false;
        this.loading = true;
        this.requested += 1;
        this.preview.showLoopFrame(this.requested);
    },

    // The generator has read another map since the preview (an export, a thumbnail): the
    // preview is made again once, and playing goes on when it is shown.
    stalled: function () {
        if (this.regenerated) return;
        this.regenerated = true;
        this.preview.request();
    },

    frameShown: function () {
        this.loading = false;
        this.framesShown += 1;
        if (!this.playing) return;
        var period = 1000 / this.loopOptions().fps;
        var next = this.started + (Math.floor((Date.now() - this.started) / period) + 1) * period;
        this.schedule(next - Date.now());
    }
};
