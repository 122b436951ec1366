// The live preview: after every change it asks llumatrace.requestPreview for the artwork,
// which is generated and drawn off the page's thread, and shows "drc:lumatrace_result" as
// previewReady announces it: on a large canvas a quick image first, then the exact one.
// Zoomed into a canvas too large to draw whole quickly, the exact stage is only the part
// around the view ("drc:lumatrace_detail"), laid over the quick image of the whole canvas;
// scrolling past it asks for the part then in view.
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
    this.detail = el('img', {'class': 'artwork detail', alt: '', draggable: 'false'});
    this.stage = el('div', {'class': 'stage'}, [this.image, this.detail]);
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
    // The request whose image the element shows {count, exact, scale, region}.
    this.showing = null;
    // The part of the canvas the detail image shows {region, scale, map} once loaded.
    this.detailShown = null;
    this.listeners = {generated: [], shown: [], layout: [], zoom: [], frame: []};
    $(this.image).on('load', function () { self.imageLoaded(); });
    $(this.detail).on('load', function () { self.detailLoaded(); });
    $(this.scroller).on('scroll', function () { self.sharpen(); });
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
// Drawn at more pixels than this, a zoomed view asks only for the part around it.
Studio.Preview.detailPixels = 4000000;

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
        if (wait > 0) {
            this.timer = setTimeout(function () { self.run(); }, wait);
            return;
        }
        // As soon as the script that made the change has run, so that changes made together
        // go out as one request; a timer of 0 ms would wait about 10 ms.
        this.timer = 'soon';
        Promise.resolve().then(function () { self.run(); });
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
        var region = this.detailRegion(map, scale);
        var id = region ? llumatrace.requestPreview(map, scale, region) : llumatrace.requestPreview(map, scale);
        // An export has the generator: asked again once it is done.
        if (!id) return this.retryLater();
        this.pending = false;
        this.lastStart = Date.now();
        this.imageCount += 1;
        this.inFlight = {id: id, count: this.imageCount, map: map, started: Date.now(), scale: scale, firstShown: false,
            region: region};
    },

    // The part of the canvas drawn at `scale` worth drawing exactly for the view: what it
    // shows and half a view more each way, in the drawing's pixels; null for all of it.
    detailRegion: function (map, scale) {
        var width = Math.round(map.width * scale), height = Math.round(map.height * scale);
        if (this.zoomMode === 'fit' || width * height <= Studio.Preview.detailPixels) return null;
        var toDrawing = scale / this.factor;
        var view = this.scroller;
        var along = function (scroll, client, offset, size) {
            var start = (scroll - offset - client / 2) * toDrawing;
            var end = (scroll - offset + client * 1.5) * toDrawing;
            var from = Math.max(0, Math.floor(start)), to = Math.min(size, Math.ceil(end));
            return {from: from, size: Math.max(0, to - from)};
        };
        var x = along(view.scrollLeft, view.clientWidth, this.stageOffset.x, width);
        var y = along(view.scrollTop, view.clientHeight, this.stageOffset.y, height);
        if (x.size === 0 || y.size === 0 || (x.size === width && y.size === height)) return null;
        return {x: x.from, y: y.from, width: x.size, height: y.size};
    },

    // Whether the view shows only what the detail image drawn last covers.
    detailCoversView: function () {
        var shown = this.showing;
        if (!shown || !shown.region) return false;
        var toDrawing = shown.scale / this.factor;
        var view = this.scroller;
        var left = Math.max(0, (view.scrollLeft - this.stageOffset.x) * toDrawing);
        var top = Math.max(0, (view.scrollTop - this.stageOffset.y) * toDrawing);
        var right = Math.min(Math.round(this.canvasSize.width * shown.scale), left + view.clientWidth * toDrawing);
        var bottom = Math.min(Math.round(this.canvasSize.height * shown.scale), top + view.clientHeight * toDrawing);
        var r = shown.region;
        return left >= r.x && top >= r.y && right <= r.x + r.width && bottom <= r.y + r.height;
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
        this.show(request.count, exact, request.scale, request.region, request.map);
        if (exact) {
            this.inFlight = null;
            this.emit('generated', [request.map, Date.now() - request.started]);
        }
        // A change made while this one was drawn goes out now (or when the interval ends);
        // without one, a zoom changed meanwhile may want a sharper drawing.
        if (this.pending && !this.timer) this.request();
        else if (exact) this.sharpen();
    },

    show: function (count, exact, scale, region, map) {
        this.showing = {count: count, exact: exact, scale: scale, region: region || null, map: map};
        if (region && exact) {
            this.detail.src = 'drc:lumatrace_detail?n=' + count;
            return;
        }
        // A detail of other settings must not stay over this artwork; one of the same
        // artwork stays until the new one is in.
        if (!region || !this.detailShown || JSON.stringify(this.detailShown.map) !== JSON.stringify(map))
            this.hideDetail();
        this.image.src = 'drc:lumatrace_result?n=' + count + (exact ? '' : '&quick');
    },

    hideDetail: function () {
        this.detailShown = null;
        this.detail.style.display = 'none';
    },

    detailLoaded: function () {
        var showing = this.showing;
        if (!showing || !showing.region || !showing.exact) return;
        this.detailShown = {region: showing.region, scale: showing.scale, map: showing.map};
        this.placeDetail();
        this.shownCount = showing.count;
        this.emit('shown', [this.shownCount]);
    },

    // Lays the detail image over the part of the artwork it shows, at the view's zoom.
    placeDetail: function () {
        var shown = this.detailShown;
        if (!shown) return;
        var toView = this.factor / shown.scale;
        var style = this.detail.style;
        style.left = shown.region.x * toView + 'px';
        style.top = shown.region.y * toView + 'px';
        style.width = shown.region.width * toView + 'px';
        style.height = shown.region.height * toView + 'px';
        // While the loop plays its frames stand in for the still and its detail.
        style.display = this.image.src.indexOf(Studio.Preview.loopFrameName) >= 0 ? 'none' : 'block';
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
        if (Studio.previewScale.differs(this.showing.scale, wanted)) return this.request();
        // Zoomed into a large canvas: the part in view must be drawn exactly.
        var region = this.detailRegion(this.canvasSize, wanted);
        if (region ? !this.detailCoversView() : !!this.showing.region) this.request();
    },

    // The still image of the last generation, after loop frames were shown in its place.
    showStill: function () {
        var showing = this.showing;
        if (this.image.src.indexOf(Studio.Preview.loopFrameName) < 0 || !showing) return;
        if (!showing.region) return this.show(showing.count, showing.exact, showing.scale);
        this.image.src = 'drc:lumatrace_result?n=' + showing.count + '&quick';
        if (this.detailShown) this.detail.style.display = 'block';
    },

    // Frame `n` of the playing loop, in place of the still (and of its detail).
    showLoopFrame: function (n) {
        this.detail.style.display = 'none';
        this.image.src = 'drc:' + Studio.Preview.loopFrameName + '?n=' + n;
    },

    imageLoaded: function () {
        // A loop frame is no new artwork: what waits for 'shown' (snapshots, thumbnails)
        // must not take one, nor count it; nor does a quick image.
        if (this.image.src.indexOf(Studio.Preview.loopFrameName) >= 0) return this.emit('frame', []);
        if (!this.showing || !this.showing.exact || this.showing.region) return;
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
        this.placeDetail();
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
