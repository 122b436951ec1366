// The live preview: regenerates through llumatrace.generateImage after every change and
// shows "drc:lumatrace_result". While a slider moves a new image appears at most every
// `interval` ms; the last change is always rendered.
Studio.Preview = function (viewport, model, interval) {
    var self = this;
    var el = Studio.util.el;
    this.model = model;
    this.interval = interval || 80;
    this.viewport = viewport;
    this.image = el('img', {'class': 'artwork', alt: '', draggable: 'false'});
    this.stage = el('div', {'class': 'stage'}, [this.image]);
    viewport.appendChild(this.stage);
    this.zoomMode = 'fit';
    this.pending = false;
    this.timer = null;
    this.lastStart = 0;
    this.imageCount = 0;
    this.shownCount = 0;
    this.listeners = {generated: [], shown: [], layout: []};
    $(this.image).on('load', function () { self.imageLoaded(); });
    $(window).on('resize', function () { self.layout(); });
    model.onChange(function () { self.request(); });
};

Studio.Preview.prototype = {
    // 'generated' fn(map, ms) after each generateImage; 'shown' fn(count) when the image is
    // on screen; 'layout' fn(zoomFactor) when its displayed size changed.
    on: function (event, fn) {
        this.listeners[event].push(fn);
    },

    emit: function (event, args) {
        this.listeners[event].forEach(function (fn) { fn.apply(null, args); });
    },

    request: function () {
        this.pending = true;
        if (this.timer) return;
        var wait = Math.max(0, this.lastStart + this.interval - Date.now());
        var self = this;
        this.timer = setTimeout(function () { self.run(); }, wait);
    },

    run: function () {
        this.timer = null;
        if (!this.pending) return;
        this.pending = false;
        var map = this.model.snapshot();
        this.lastStart = Date.now();
        var started = new Date().getTime();
        Studio.previewScale.generate(this, map);
        var ms = new Date().getTime() - started;
        this.imageCount += 1;
        this.canvasSize = {width: map.width, height: map.height};
        this.image.src = 'drc:lumatrace_result?n=' + this.imageCount;
        this.layout();
        this.emit('generated', [map, ms]);
    },

    imageLoaded: function () {
        this.shownCount = this.imageCount;
        this.emit('shown', [this.shownCount]);
    },

    // 'fit' or a factor (1 = 100 %).
    setZoom: function (mode) {
        this.zoomMode = mode;
        this.layout();
    },

    zoomFactor: function () {
        if (!this.canvasSize) return 1;
        if (this.zoomMode !== 'fit') return this.zoomMode;
        var margin = 48;
        var fx = (this.viewport.clientWidth - margin) / this.canvasSize.width;
        var fy = (this.viewport.clientHeight - margin) / this.canvasSize.height;
        var factor = Math.min(fx, fy);
        // Enlarging by whole factors keeps the artwork's pixels crisp.
        return factor > 1 ? Math.floor(factor) : Math.max(0.05, factor);
    },

    layout: function () {
        if (!this.canvasSize) return;
        var factor = this.zoomFactor();
        this.stage.style.width = Math.round(this.canvasSize.width * factor) + 'px';
        this.stage.style.height = Math.round(this.canvasSize.height * factor) + 'px';
        $(this.viewport).toggleClass('scrolls', this.zoomMode !== 'fit');
        this.emit('layout', [factor]);
    }
};
