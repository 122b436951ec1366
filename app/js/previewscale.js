// The preview is drawn at the size it is shown: a canvas shown smaller than its pixels is
// drawn at a reduced render scale, a zoomed one at its zoom, so that it stays sharp.
Studio.previewScale = {
    // Pixels a preview may have: 100 % of the largest canvas the studio offers. Higher zooms
    // of large canvases are drawn at the scale that stays within it.
    maxPixels: 4096 * 4096,
    // Changes of the wanted scale smaller than this share are not worth a new drawing.
    tolerance: 0.02,

    // The render scale worth drawing `map` at in `preview`.
    renderScale: function (preview, map) {
        var factor = preview.zoomMode;
        if (factor === 'fit') factor = preview.zoomFactor();
        var scale = factor * (window.devicePixelRatio || 1);
        var limit = Math.sqrt(Studio.previewScale.maxPixels / Math.max(1, map.width * map.height));
        scale = Math.min(scale, Math.max(1, limit));
        return scale > 0 && isFinite(scale) ? scale : 1;
    },

    // Whether an image drawn at `shown` is too coarse, or needlessly fine, for `wanted`.
    differs: function (shown, wanted) {
        return Math.abs(shown - wanted) > Studio.previewScale.tolerance * wanted;
    }
};
