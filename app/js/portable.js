// Portable presets: a preset keeps the mask image the generator made of its file (200 pixels
// wide, grey) as "mask_image", so it gives the same artwork where the file is missing, e.g.
// on another machine. The copy is written back as a plain-text greymap (the host writes
// text files only, and the generator reads that format), and the preset then points at it.
Studio.portable = {
    // {name, width, height, grey (base64 of one byte per pixel)} of the mask the generator
    // shows for `map`, or null when the map uses no readable image.
    embed: function (map) {
        var thumbnail = Studio.masks.thumbnail;
        var path = map.mask_file_path;
        if (!path || !thumbnail || Studio.masks.shownPath !== path || !thumbnail.naturalWidth || Studio.masks.problem)
            return null;
        var canvas = Studio.util.el('canvas', {width: thumbnail.naturalWidth, height: thumbnail.naturalHeight});
        var context = canvas.getContext('2d');
        context.drawImage(thumbnail, 0, 0);
        var rgba = context.getImageData(0, 0, canvas.width, canvas.height).data;
        var bytes = [];
        for (var i = 0; i < rgba.length; i += 4) bytes.push(String.fromCharCode(rgba[i]));
        return {name: Studio.util.fileName(path), width: canvas.width, height: canvas.height, grey: btoa(bytes.join(''))};
    },

    // The map with its embedded mask attached (kept from `previous` when the image cannot be
    // read now but is the same file).
    withMask: function (map, previous) {
        var embedded = this.embed(map);
        if (!embedded && previous && previous.mask_image && previous.mask_file_path === map.mask_file_path)
            embedded = previous.mask_image;
        if (embedded) map.mask_image = embedded;
        return map;
    },

    // The map to use for a stored or imported preset: when its image file is missing (or
    // `always`), the embedded copy is written to the studio's folder and used instead.
    materialise: function (map, always) {
        var image = map && map.mask_image;
        if (!image || !this.isValid(image)) return map;
        if (!always && map.mask_file_path && app.fs.fileExists(map.mask_file_path)) return map;
        var path = this.write(image);
        if (path) map.mask_file_path = path;
        return map;
    },

    isValid: function (image) {
        return typeof image.grey === 'string' && image.width > 0 && image.height > 0 && image.width <= 4096
            && image.height <= 65536;
    },

    // Writes the copy as an ASCII greymap named after its contents; '' when that failed.
    write: function (image) {
        var grey;
        try {
            grey = atob(image.grey);
        } catch (e) {
            return '';
        }
        if (grey.length !== image.width * image.height) return '';
        var folder = app.fs.getDirAppData() + '/masks';
        app.fs.mkdir(folder, true);
        var base = String(image.name || 'mask').replace(/\.[^.]*$/, '').replace(/[^\w\-]+/g, '_');
        var path = folder + '/' + base + '-' + app.md5hex(image.grey).slice(0, 12) + '.pgm';
        if (app.fs.fileExists(path)) return path;
        var lines = ['P2', image.width + ' ' + image.height, '255'];
        for (var y = 0; y < image.height; ++y) {
            var row = [];
            for (var x = 0; x < image.width; ++x) row.push(grey.charCodeAt(y * image.width + x));
            lines.push(row.join(' '));
        }
        app.fs.filePutContents(path, lines.join('\n') + '\n');
        return app.fs.fileExists(path) ? path : '';
    },

    // A small picture of the artwork on screen for the preset list, as a data URL.
    thumbnail: function (image) {
        if (!image || !image.naturalWidth) return '';
        var height = 40;
        var width = Math.max(1, Math.round(image.naturalWidth / image.naturalHeight * height));
        var canvas = Studio.util.el('canvas', {width: Math.min(width, 96), height: height});
        canvas.getContext('2d').drawImage(image, 0, 0, canvas.width, canvas.height);
        try {
            return canvas.toDataURL('image/png');
        } catch (e) {
            return '';
        }
    }
};
