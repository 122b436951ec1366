// Large canvases preview at the size they are shown: when the view shows the canvas
// smaller than its pixels, the plug-in draws the same circuit at a reduced render scale.
Studio.previewScale = {
    // The longest side worth drawing for `map` in `preview`, or 0 for the full canvas.
    maxSide: function (preview, map) {
        var factor = preview.zoomMode;
        if (factor === 'fit') {
            var margin = 48;
            factor = Math.min((preview.viewport.clientWidth - margin) / map.width,
                              (preview.viewport.clientHeight - margin) / map.height);
        }
        if (!(factor > 0) || factor >= 1) return 0;
        return Math.ceil(Math.max(map.width, map.height) * factor * (window.devicePixelRatio || 1));
    },

    // Generates the preview image of `map` into "lumatrace_result".
    generate: function (preview, map) {
        var side = Studio.previewScale.maxSide(preview, map);
        if (side > 0 && typeof llumatrace.generatePreview === 'function') llumatrace.generatePreview(map, side);
        else llumatrace.generateImage(map);
    }
};
