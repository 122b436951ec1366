// The mask's native parts: font families for the text mask, the image chooser, and the
// thumbnail of the image mask as the generator prepared it ("drc:lumatrace_mask_result").
Studio.masks = {
    preferredFonts: ['DejaVu Sans', 'Liberation Sans', 'Noto Sans', 'Arial', 'Helvetica'],
    cachedFonts: null,
    shownPath: '',
    thumbnailCount: 0,
    // The chips taken away so that the first typed text shows, or null.
    roomMadeFrom: null,

    // Font families once each: a family that several foundries supply is listed as
    // "Family [Foundry]" for every one of them, and the generator takes the bare family.
    fonts: function () {
        if (!this.cachedFonts) {
            var families = typeof llumatrace === 'object' ? llumatrace.getFonts() : [];
            var seen = {};
            this.cachedFonts = families.map(function (family) {
                return String(family).replace(/\s*\[[^\]]*\]$/, '');
            }).filter(function (family) {
                if (seen[family]) return false;
                seen[family] = true;
                return true;
            });
            if (!this.cachedFonts.length) this.cachedFonts = ['Sans Serif'];
        }
        return this.cachedFonts;
    },

    // A font that is present, for maps that name none.
    defaultFont: function () {
        var families = this.fonts();
        var preferred = this.preferredFonts.filter(function (f) { return families.indexOf(f) >= 0; });
        return preferred.length ? preferred[0] : families[0];
    },

    chooseImage: function (startPath) {
        var folder = startPath ? String(startPath).replace(/[\/\\][^\/\\]*$/, '') : '';
        if (!folder || !app.fs.dirExists(folder)) folder = Studio.util.userFolder('pictures');
        return app.dialogOpenFile('Choose a mask image',
                                  'Images (*.png *.jpg *.jpeg *.bmp *.gif);;All files (*)', folder);
    },

    // The thumbnail element, placed in the mask group for the image mask, and the notice
    // that says what is wrong with the image and offers to locate it.
    createThumbnail: function () {
        var el = Studio.util.el;
        var self = this;
        this.thumbnail = el('img', {'class': 'mask-thumbnail', alt: ''});
        this.problemText = el('div', {'class': 'mask-problem-text'});
        var locate = el('button', {type: 'button', 'data-action': 'locate-mask'}, ['Locate…']);
        this.problemBox = el('div', {'class': 'mask-problem', 'data-info': 'mask-problem'}, [this.problemText, locate]);
        $(this.problemBox).hide();
        $(locate).on('click', function () { self.locate(); });
        $(this.thumbnail).on('error', function () { self.thumbnailFailed(); });
        $(this.thumbnail).hide();
        return el('div', {'class': 'mask-preview', 'data-mask-type': 'image'}, [this.problemBox, this.thumbnail]);
    },

    // Connects the mask to the model and history (after the controls exist). An image that is
    // missing or unreadable is left out of what the generator gets, so the artwork shows
    // without the mask instead of going blank, and is watched until it comes back.
    attach: function (model, history, preview) {
        var self = this;
        this.model = model;
        this.history = history;
        this.preview = preview;
        this.problem = '';
        this.problemPath = '';
        this.signature = '';
        this.reload = false;
        model.onChange(function (keys, source) {
            if (keys.indexOf('mask_file_path') >= 0) self.check(true);
            if (keys.length === 1 && keys[0] === 'mask_text') self.textTyped(source);
        });
        this.check(false);
        var watch = this;
        this.watcher = setInterval(function () { watch.poll(); }, 1000);
    },

    // What the generator is given for `map`: the image mask without a missing or unreadable
    // file, and no text mask while its text is empty (an empty text would mask everything).
    effective: function (map) {
        if (this.problem && map.mask_file_path === this.problemPath) map.mask_file_path = '';
        if (map.mask_type === 'text' && !map.mask_text) map.masking = 0;
        return map;
    },

    // Whether the generator has to read the mask file afresh (it keeps an image by path).
    takeReload: function () {
        var reload = this.reload;
        this.reload = false;
        if (reload) this.shownPath = null;
        return reload;
    },

    fileSignature: function (path) {
        if (!path || !app.fs.fileExists(path)) return 'missing';
        return app.fs.fileSize(path) + ':' + app.fs.filectime(path);
    },

    // Looks at the current image file; `report` says what is wrong in a message as well.
    check: function (report) {
        var path = this.model.get('mask_file_path');
        this.signature = this.fileSignature(path);
        if (path && this.signature === 'missing') this.setProblem('missing', path, report);
        else this.setProblem('', '', false);
    },

    // Every second while an image is set: a file that went away, came back or was rewritten
    // is picked up without choosing it again.
    poll: function () {
        var path = this.model.get('mask_file_path');
        if (!path) return;
        var signature = this.fileSignature(path);
        if (signature === this.signature) return;
        var wasMissing = this.problem === 'missing';
        this.signature = signature;
        if (signature === 'missing') {
            this.setProblem('missing', path, true);
            return;
        }
        this.reload = true;
        this.setProblem('', '', false);
        if (wasMissing) Studio.status.show('The mask image ' + Studio.util.fileName(path) + ' is back and in use again.');
    },

    setProblem: function (problem, path, report) {
        var changed = problem !== this.problem || path !== this.problemPath;
        this.problem = problem;
        this.problemPath = path;
        if (this.problemBox) {
            $(this.problemBox).toggle(!!problem);
            this.problemText.textContent = problem ? this.describe(problem, path) : '';
        }
        if (!problem && Studio.status.notice) Studio.status.notice.dismiss('error');
        // Only the image mask uses the file; with the text mask the problem waits on its section.
        if (problem && report && this.model.get('mask_type') !== 'text') Studio.status.error(this.describe(problem, path) + ' The artwork is shown without the mask.',
                                                   [['Locate…', $.proxy(this.locate, this)]]);
        if (changed && this.preview) this.preview.request();
    },

    describe: function (problem, path) {
        var name = Studio.util.fileName(path);
        if (problem === 'missing') return 'The mask image ' + name + ' is missing (looked in ' + path + ').';
        return 'The mask image ' + name + ' could not be read: it is not an image the generator understands.';
    },

    // A message for the start: empty when the mask is fine.
    problemMessage: function () {
        var used = this.model.get('mask_type') !== 'text';
        return this.problem && used ? this.describe(this.problem, this.problemPath) : '';
    },

    locate: function () {
        var path = this.chooseImage(this.model.get('mask_file_path'));
        if (!path) return;
        this.model.set('mask_file_path', path);
        this.history.commit();
    },

    // Typing the first text while the mask is off turns it on at full strength, so the text
    // shows at once; a weaker mask only thins the wires around the letters. The chip a new
    // artwork has in its middle would cover the word, so it makes room (Undo brings it back),
    // and comes back when the text is emptied again, as if none had been typed.
    textTyped: function (source) {
        if (!source) return;
        var chips = this.model.get('chips');
        if (!this.model.get('mask_text')) {
            if (this.roomMadeFrom && !chips.length) this.model.update({chips: this.roomMadeFrom});
            this.roomMadeFrom = null;
            return;
        }
        if (this.model.get('masking') > 0) return;
        var values = {masking: Studio.masks.textStrength};
        var centre = Studio.schema.defaults.chips.map(function (c) { return Studio.schema.normaliseItem('chips', c); });
        var covering = JSON.stringify(chips) === JSON.stringify(centre);
        if (covering) {
            values.chips = [];
            this.roomMadeFrom = chips;
        }
        this.model.update(values);
        Studio.status.show('Mask strength set to ' + Studio.masks.textStrength + ' so the text shows'
                           + (covering ? '; the chip in the middle made room for it (Undo brings it back).' : '.'));
    },

    textStrength: 1,

    // The generator hands over an empty image for a file it could not read.
    thumbnailFailed: function () {
        var path = this.shownPath;
        $(this.thumbnail).hide();
        if (!path || path !== this.model.get('mask_file_path')) return;
        this.setProblem('unreadable', path, true);
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
