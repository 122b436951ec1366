// Opening an exported PNG: the parameter map it carries becomes the artwork again (one undo
// step), through File > Open artwork or by dropping the file onto the window.
Studio.OpenPng = function (model, history) {
    var self = this;
    this.model = model;
    this.history = history;
    // The plug-in hears PNG files dropped onto the window (page script never sees a dropped
    // file's path); anything else dropped must not replace the studio by the file.
    llumatrace.acceptFileDrops(['.png']);
    llumatrace.filesDropped.connect(function (paths) { self.open(paths[0]); });
    $(document).on('dragenter dragover', function (e) {
        e.preventDefault();
    }).on('drop', function (e) {
        e.preventDefault();
        Studio.status.error('Only PNG files exported by Lumatrace can be opened by dropping them here.');
    });
};

Studio.OpenPng.prototype = {
    choose: function () {
        var folder = Studio.util.userFolder('pictures');
        var path = app.dialogOpenFile('Open artwork PNG', 'PNG images (*.png)', folder);
        if (path) this.open(path);
    },

    // Restores the artwork `path` carries; says so when it carries none or when the mask
    // image it names is not there.
    open: function (path) {
        var map = llumatrace.readArtworkParameters(path);
        if (!map || !Object.keys(map).length) {
            // A refused map says why (too large, not UTF-8, not an object); a plain PNG has none.
            var reason = llumatrace.lastError();
            Studio.status.error(Studio.util.fileName(path) + (reason && !/^no Lumatrace/.test(reason)
                ? ': ' + reason : ' carries no Lumatrace parameters.'));
            return false;
        }
        var adjusted = this.adjustedKeys(map);
        this.model.replace(map);
        this.history.commit();
        var name = Studio.util.fileName(path);
        var mask = map.mask_file_path;
        if (map.mask_type !== 'text' && mask && !app.fs.fileExists(mask))
            Studio.status.error('Opened ' + name + ', but its mask image is missing: ' + mask);
        else if (adjusted.length)
            Studio.status.error('Opened ' + name + '; outside the studio\'s ranges, so adjusted: ' + adjusted.join(', '));
        else
            Studio.status.show('Opened the artwork of ' + name + ' (seed ' + this.model.get('seed') + ').');
        return true;
    },

    // Keys whose values the studio would change on the way in (out of its ranges).
    adjustedKeys: function (map) {
        var normal = Studio.schema.normalise(map);
        return Studio.schema.allParams().map(function (p) { return p.key; }).filter(function (key) {
            return map[key] !== undefined && JSON.stringify(normal[key]) !== JSON.stringify(map[key]);
        });
    }
};
