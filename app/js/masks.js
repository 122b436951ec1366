// The mask's native parts: font families for the text mask, the image chooser, and the
// thumbnail of the image mask as the generator prepared it ("drc:lumatrace_mask_result").
Studio.masks = {
    preferredFonts: ['DejaVu Sans', 'Liberation Sans', 'Noto Sans', 'Arial', 'Helvetica'],
    cachedFonts: null,
    shownPath: '',
    thumbnailCount: 0,

    fonts: function () {
        if (!this.cachedFonts) {
            var families = typeof llumatrace === 'object' ? llumatrace.getFonts() : [];
            this.cachedFonts = families.length ? families : ['Sans Serif'];
        }
        return this.cachedFonts;
    },

    // A font that is present, for maps that name none.
    defaultFont: function () {
        var families = this.fonts();
        var preferred = this.preferredFonts.filter(function (f) { return families.indexOf(f) >= 0; });
        return preferred.length ? preferred[0] : families[0];
    },

    chooseImage: function () {
        return app.dialogOpenFile('Choose a mask image',
                                  'Images (*.png *.jpg *.jpeg *.bmp *.gif);;All files (*)',
                                  app.fs.getDirPictures());
    },

    // The thumbnail element, placed in the mask group for the image mask.
    createThumbnail: function () {
        this.thumbnail = Studio.util.el('img', {'class': 'mask-thumbnail', alt: ''});
        var box = Studio.util.el('div', {'class': 'mask-preview', 'data-mask-type': 'image'}, [this.thumbnail]);
        return box;
    },

    // After a generation: the generator hands a new mask image over only when the path
    // changed, so the thumbnail is reloaded then.
    generated: function (map) {
        if (!this.thumbnail || map.mask_file_path === this.shownPath) return;
        this.shownPath = map.mask_file_path;
        this.thumbnailCount += 1;
        $(this.thumbnail).toggle(!!this.shownPath);
        if (this.shownPath) this.thumbnail.src = 'drc:lumatrace_mask_result?n=' + this.thumbnailCount;
    }
};
