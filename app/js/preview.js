// The live preview: after every change it asks llumatrace.requestPreview for the artwork,
// which is generated and drawn off the page's thread, and shows "drc:lumatrace_result" as
// previewReady announces it: on a large canvas a quick image first, then the exact one.
// While a slider moves a new request goes out at most every `interval` ms, and not before
// the last one showed its first image, so a drag shows images along the way; a newer
// request supersedes the rest of an older one. The last change is always drawn.
Studio.Preview = function (viewport, model, interval) {
    var self = this;
    var el = Studio.util.el;
    this.model = model;
    this.interval = interval || 80;
    this.viewport = viewport;
    this.image = el('img', {'class': 'artwork', alt: '', draggable: 'false'});
    this.stage = el('div', {'class': 'stage'}, [this.image]);
    this.area = el('div', {'class': 'scroll-area'}, [this.stage]);
    this.scroller = el('div', {'class': 'scroller'}, [this.area]);
    viewport.appendChild(this.scroller);
    this.zoomMode = 'fit';
    this.factor = 1;
    this.pan = null;
    this.spaceHeld = false;
    this.pointerOver = false;
    this.pending = false;
    this.timer = null;
    this.lastStart = 0;
    // Requests made and the number of the last whose exact image is on screen.
    this.imageCount = 0;
    this.shownCount = 0;
    // The request being drawn {id, count, map, started, scale, firstShown}, or null.
    this.inFlight = null;
    // The request whose image the element shows {count, exact, scale}.
    this.showing = null;
    this.listeners = {generated: [], shown: [], layout: [], zoom: [], frame: []};
    $(this.image).on('load', function () { self.imageLoaded(); });
    $(window).on('resize', function () {
        self.layout();
        self.sharpen();
    });
    llumatrace.previewReady.connect(function (id, exact) { self.ready(id, exact); });
    model.onChange(function () { self.request(); });
    this.listenForZoomAndPan();
};

Studio.Preview.minZoom = 0.05;
Studio.Preview.maxZoom = 16;
Studio.Preview.margin = 24;
Studio.Preview.loopFrameName = 'lumatrace_loop_frame';

// A stored zoom mode that can be used: 'fit' or a factor within the zoom limits.
Studio.Preview.validZoom = function (mode) {
    if (mode === 'fit') return mode;
    var factor = Number(mode);
    return isFinite(factor) && factor >= Studio.Preview.minZoom && factor <= Studio.Preview.maxZoom ? factor : 'fit';
};

// Whether `node` is a field that takes typed text (spaces included).
Studio.Preview.takesText = function (node) {
    if (node.tagName === 'TEXTAREA' || node.isContentEditable) return true;
    return node.tagName === 'INPUT' && /^(text|search)$/.test(node.type);
};

Studio.Preview.prototype = {
    // 'generated' fn(map, ms) after each generateImage; 'shown' fn(count) when the image is
    // on screen; 'layout' fn(zoomFactor) when its displayed size changed; 'zoom' fn(mode)
    // when the zoom mode changed; 'frame' fn() when a frame of the playing loop is on screen.
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
        // The request out there shows its first image before a newer one replaces it.
        if (!this.pending || (this.inFlight && !this.inFlight.firstShown)) return;
        var map = Studio.masks.effective(this.model.snapshot());
        if (Studio.masks.takeReload()) llumatrace.updateGenerator($.extend({}, map, {mask_file_path: ''}));
        var first = !this.canvasSize;
        this.canvasSize = {width: map.width, height: map.height};
        this.layout();
        // A zoom kept from the last run starts on the middle of the artwork.
        if (first) this.centre();
        var scale = Studio.previewScale.renderScale(this, map);
        var id = llumatrace.requestPreview(map, scale);
        // An export has the generator: asked again once it is done.
        if (!id) return this.retryLater();
        this.pending = false;
        this.lastStart = Date.now();
        this.imageCount += 1;
        this.inFlight = {id: id, count: this.imageCount, map: map, started: Date.now(), scale: scale, firstShown: false};
    },

    retryLater: function () {
        var self = this;
        this.timer = setTimeout(function () { self.run(); }, 200);
    },

    // A stage of a request is in the resource store.
    ready: function (id, exact) {
        var request = this.inFlight;
        if (!request || request.id !== id) return;
        request.firstShown = true;
        this.show(request.count, exact, request.scale);
        if (exact) {
            this.inFlight = null;
            this.emit('generated', [request.map, Date.now() - request.started]);
        }
        // A change made while this one was drawn goes out now (or when the interval ends);
        // without one, a zoom changed meanwhile may want a sharper drawing.
        if (this.pending && !this.timer) this.request();
        else if (exact) this.sharpen();
    },

    show: function (count, exact, scale) {
        this.showing = {count: count, exact: exact, scale: scale};
        this.image.src = 'drc:lumatrace_result?n=' + count + (exact ? '' : '&quick');
    },

    // Whether a request is being drawn.
    isBusy: function () {
        return !!this.inFlight;
    },

    // Draws the artwork again when the image on screen is no longer drawn at the scale the
    // view shows it at (a new zoom, a resized window).
    sharpen: function () {
        if (!this.showing || !this.canvasSize || this.pending || this.inFlight) return;
        var wanted = Studio.previewScale.renderScale(this, this.canvasSize);
        if (Studio.previewScale.differs(this.showing.scale, wanted)) this.request();
    },

    // The still image of the last generation, after loop frames were shown in its place.
    showStill: function () {
        if (this.image.src.indexOf(Studio.Preview.loopFrameName) >= 0 && this.showing)
            this.show(this.showing.count, this.showing.exact, this.showing.scale);
    },

    imageLoaded: function () {
        // A loop frame is no new artwork: what waits for 'shown' (snapshots, thumbnails)
        // must not take one, nor count it; nor does a quick image.
        if (this.image.src.indexOf(Studio.Preview.loopFrameName) >= 0) return this.emit('frame', []);
        if (!this.showing || !this.showing.exact) return;
        this.shownCount = this.showing.count;
        this.emit('shown', [this.shownCount]);
    },

    // 'fit' or a factor (1 = 100 %). `anchor` {x, y} in client pixels stays over the same
    // point of the artwork; without it the middle of the view does.
    setZoom: function (mode, anchor) {
        var changed = mode !== this.zoomMode;
        var rect = this.scroller.getBoundingClientRect();
        var at = anchor || {x: rect.left + rect.width / 2, y: rect.top + rect.height / 2};
        var stage = this.stage.getBoundingClientRect();
        var before = this.factor;
        var point = {x: (at.x - stage.left) / before, y: (at.y - stage.top) / before};
        this.zoomMode = mode;
        // Where the stage must sit in the view to keep the point there; the layout keeps it
        // there (a stage smaller than the view is not centred: it would jump).
        this.pinned = mode === 'fit' || !this.canvasSize ? null
            : {x: at.x - rect.left - point.x * this.zoomFactor(), y: at.y - rect.top - point.y * this.zoomFactor()};
        this.layout();
        if (this.pinned) {
            this.scroller.scrollLeft = this.stageOffset.x - this.pinned.x;
            this.scroller.scrollTop = this.stageOffset.y - this.pinned.y;
        }
        this.sharpen();
        if (changed) this.emit('zoom', [mode]);
    },

    centre: function () {
        this.scroller.scrollLeft = (this.area.offsetWidth - this.scroller.clientWidth) / 2;
        this.scroller.scrollTop = (this.area.offsetHeight - this.scroller.clientHeight) / 2;
    },

    // One wheel notch zooms by a quarter, about the point under the mouse.
    zoomBy: function (notches, anchor) {
        var factor = Studio.util.clamp(this.factor * Math.pow(1.25, notches), Studio.Preview.minZoom, Studio.Preview.maxZoom);
        // Near 100 % and 200 % the zoom snaps there, where the artwork's pixels are sharp.
        [1, 2].forEach(function (exact) {
            if (Math.abs(factor - exact) < 0.04 * exact) factor = exact;
        });
        this.setZoom(Studio.util.roundToStep(factor, 0.001), anchor);
    },

    zoomFactor: function () {
        if (!this.canvasSize) return 1;
        if (this.zoomMode !== 'fit') return this.zoomMode;
        var margin = 2 * Studio.Preview.margin;
        var fx = (this.scroller.clientWidth - margin) / this.canvasSize.width;
        var fy = (this.scroller.clientHeight - margin) / this.canvasSize.height;
        var factor = Math.min(fx, fy);
        // Enlarging by whole factors keeps the artwork's pixels crisp.
        return factor > 1 ? Math.floor(factor) : Math.max(Studio.Preview.minZoom, factor);
    },

    // Sizes the stage and centres it in an area that leaves a margin around it to scroll.
    // A second pass sizes the area again once scroll bars came or went with the first.
    layout: function () {
        if (!this.canvasSize) return;
        $(this.viewport).toggleClass('scrolls', this.zoomMode !== 'fit');
        this.arrange();
        this.arrange();
        this.emit('layout', [this.factor]);
    },

    arrange: function () {
        var factor = this.zoomFactor();
        var width = Math.round(this.canvasSize.width * factor);
        var height = Math.round(this.canvasSize.height * factor);
        var margin = Studio.Preview.margin;
        var pinned = this.pinned;
        // The stage's offset in the area and the area's size along one axis: centred with a
        // margin to scroll, or where a zoom pinned it, with room to scroll it there.
        var along = function (axis, client, size) {
            var pin = pinned ? pinned[axis] : undefined;
            if (pin === undefined) {
                var area = Math.max(client, size + 2 * margin);
                return {offset: Math.round((area - size) / 2), area: area};
            }
            var offset = Math.round(Math.max(margin, pin));
            return {offset: offset, area: Math.max(client, offset + size + margin, Math.ceil(client + offset - pin))};
        };
        var x = along('x', this.scroller.clientWidth, width);
        var y = along('y', this.scroller.clientHeight, height);
        this.factor = factor;
        this.stageOffset = {x: x.offset, y: y.offset};
        this.area.style.width = x.area + 'px';
        this.area.style.height = y.area + 'px';
        this.stage.style.width = width + 'px';
        this.stage.style.height = height + 'px';
        this.stage.style.left = x.offset + 'px';
        this.stage.style.top = y.offset + 'px';
    },

    // The wheel zooms about the mouse; space held, the middle button or a drag outside the
    // artwork pans.
    listenForZoomAndPan: function () {
        var self = this;
        $(this.scroller).on('mousewheel', function (e) {
            e.preventDefault();
            var wheel = e.originalEvent;
            var delta = wheel.wheelDeltaY !== undefined && wheel.wheelDeltaY !== 0 ? wheel.wheelDeltaY : wheel.wheelDelta;
            if (delta) self.zoomBy(delta / 120, {x: wheel.clientX, y: wheel.clientY});
        });
        $(this.scroller).on('mousedown', function (e) {
            // Working on the artwork ends the editing of a field (its change is committed),
            // so keys such as space reach the view.
            var active = document.activeElement;
            if (active && /^(INPUT|SELECT|TEXTAREA)$/.test(active.tagName)) active.blur();
            if (e.which === 2 || self.spaceHeld || !self.onArtwork(e.target)) {
                e.preventDefault();
                e.stopPropagation();
                self.startPan(e);
            }
        });
        $(document).on('mousemove', function (e) {
            self.pointerOver = $.contains(self.viewport, e.target);
            self.movePan(e);
        }).on('mouseup', function () { self.endPan(); });
        // Space pans while the pointer is over the artwork, whatever has the focus: a button
        // clicked last would otherwise be pressed again with every repeat of the key. Only a
        // text being typed keeps its spaces; elsewhere space pans as before.
        $(document).on('keydown', function (e) {
            if (e.which !== 32 || Studio.Preview.takesText(e.target)) return;
            if (!self.pointerOver && /^(SELECT|BUTTON|INPUT)$/.test(e.target.tagName)) return;
            e.preventDefault();
            if (e.target !== document.body && e.target.blur) e.target.blur();
            self.spaceHeld = true;
            $(self.viewport).addClass('pan-ready');
        }).on('keyup', function (e) {
            if (e.which !== 32 || !self.spaceHeld) return;
            e.preventDefault();
            self.spaceHeld = false;
            $(self.viewport).removeClass('pan-ready');
        });
    },

    // Whether `node` is the artwork or on it (an overlay's SVG parts included, which the
    // engine's contains() does not see).
    onArtwork: function (node) {
        for (var n = node; n; n = n.parentNode) {
            if (n === this.stage) return true;
        }
        return false;
    },

    startPan: function (e) {
        this.pan = {x: e.clientX, y: e.clientY, left: this.scroller.scrollLeft, top: this.scroller.scrollTop};
        $(this.viewport).addClass('panning');
    },

    movePan: function (e) {
        if (!this.pan) return;
        this.scroller.scrollLeft = this.pan.left - (e.clientX - this.pan.x);
        this.scroller.scrollTop = this.pan.top - (e.clientY - this.pan.y);
    },

    endPan: function () {
        if (!this.pan) return;
        this.pan = null;
        $(this.viewport).removeClass('panning');
    },

    isPanning: function () {
        return !!this.pan;
    }
};
