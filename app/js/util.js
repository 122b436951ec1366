// Small helpers shared by the studio's modules. Studio is the studio's one namespace.
var Studio = Studio || {};

Studio.util = {
    clone: function (value) {
        return JSON.parse(JSON.stringify(value));
    },

    clamp: function (value, min, max) {
        return Math.min(max, Math.max(min, value));
    },

    // Digits after the point that a step size needs (0.05 -> 2, 1 -> 0).
    decimalsOf: function (step) {
        var text = String(step);
        var point = text.indexOf('.');
        return point < 0 ? 0 : text.length - point - 1;
    },

    // A number rounded to the precision of `step`, without trailing noise.
    roundToStep: function (value, step) {
        var decimals = Studio.util.decimalsOf(step);
        return Number(Number(value).toFixed(decimals));
    },

    // JSON with every character above U+007F written as \uXXXX. The host writes text files
    // as Latin-1, so plain JSON would lose a mask text in another script; the escaped form
    // survives the write and reads back as the same map.
    asciiJson: function (value) {
        return JSON.stringify(value, null, 1).replace(/[\u0080-\uffff]/g, function (c) {
            return '\\u' + ('0000' + c.charCodeAt(0).toString(16)).slice(-4);
        });
    },

    // A text as an SQL string literal (the host runs statements without bound values).
    sqlText: function (text) {
        return "'" + String(text).replace(/'/g, "''") + "'";
    },

    fileName: function (path) {
        return String(path).replace(/^.*[\/\\]/, '');
    },

    // The path with `suffix` (".png") added unless it already ends with it in any letter case.
    withSuffix: function (path, suffix) {
        return path.toLowerCase().slice(-suffix.length) === suffix ? path : path + suffix;
    },

    // The path up to its last "."; the whole path when it has none (as the exporters do).
    basePath: function (path) {
        var dot = path.lastIndexOf('.');
        return dot < 0 ? path : path.substring(0, dot);
    },

    byteSize: function (bytes) {
        if (bytes < 1024) return bytes + ' B';
        if (bytes < 1024 * 1024) return (bytes / 1024).toFixed(1) + ' KB';
        return (bytes / (1024 * 1024)).toFixed(1) + ' MB';
    },

    // A whole number with its thousands set apart: 65535 gives "65,535".
    grouped: function (number) {
        return String(Math.round(number)).replace(/\B(?=(\d{3})+$)/g, ',');
    },

    duration: function (ms) {
        return ms < 1000 ? Math.round(ms) + ' ms' : (ms / 1000).toFixed(2) + ' s';
    },

    // Creates an element: Studio.util.el('div', {class: 'row'}, [child, 'text']).
    el: function (tag, attributes, children) {
        var node = document.createElement(tag);
        var name;
        for (name in attributes || {}) {
            if (Object.prototype.hasOwnProperty.call(attributes, name)) node.setAttribute(name, attributes[name]);
        }
        (children || []).forEach(function (child) {
            node.appendChild(typeof child === 'string' ? document.createTextNode(child) : child);
        });
        return node;
    },

    svg: function (tag, attributes) {
        var node = document.createElementNS('http://www.w3.org/2000/svg', tag);
        var name;
        for (name in attributes || {}) {
            if (Object.prototype.hasOwnProperty.call(attributes, name)) node.setAttribute(name, attributes[name]);
        }
        return node;
    },

    // A panel section whose title folds and unfolds its body.
    section: function (title, body, id) {
        var header = Studio.util.el('h3', {'class': 'group-title'}, [title]);
        var section = Studio.util.el('section', {'class': 'group', 'data-group': id}, [header, body]);
        $(header).on('click', function () { $(section).toggleClass('collapsed'); });
        return section;
    },

    // A function that runs `fn` once `ms` after the last call.
    debounce: function (fn, ms) {
        var timer = null;
        return function () {
            clearTimeout(timer);
            timer = setTimeout(fn, ms);
        };
    },

    // "#rrggbb" of [r, g, b].
    hexOf: function (rgb) {
        return '#' + rgb.map(function (c) { return ('0' + Math.round(c).toString(16)).slice(-2); }).join('');
    },

    // [r, g, b] of "#rrggbb", "rrggbb", "#rgb" or "rgb"; null for anything else.
    rgbOfHex: function (text) {
        var hex = $.trim(String(text)).replace(/^#/, '');
        if (/^[0-9a-f]{3}$/i.test(hex)) hex = hex.replace(/./g, '$&$&');
        if (!/^[0-9a-f]{6}$/i.test(hex)) return null;
        return [0, 2, 4].map(function (i) { return parseInt(hex.substr(i, 2), 16); });
    },

    // Hue in degrees, saturation and value in 0..1.
    hsvOf: function (rgb) {
        var r = rgb[0] / 255, g = rgb[1] / 255, b = rgb[2] / 255;
        var max = Math.max(r, g, b), min = Math.min(r, g, b), d = max - min;
        var h = 0;
        if (d > 0) {
            if (max === r) h = ((g - b) / d + 6) % 6;
            else if (max === g) h = (b - r) / d + 2;
            else h = (r - g) / d + 4;
        }
        return {h: h * 60, s: max > 0 ? d / max : 0, v: max};
    },

    rgbOfHsv: function (h, s, v) {
        var f = function (n) {
            var k = (n + h / 60) % 6;
            return Math.round(255 * (v - v * s * Math.max(0, Math.min(k, 4 - k, 1))));
        };
        return [f(5), f(3), f(1)];
    },

    // Where file dialogs start before the user chose a folder: the user's pictures or
    // documents folder where there is one (a fresh home may have neither), else the home.
    userFolder: function (kind) {
        var folder = kind === 'documents' ? app.fs.getDirDocuments() : app.fs.getDirPictures();
        return folder && app.fs.dirExists(folder) ? folder : app.fs.getDirHome();
    },

    // The values of named form controls ({name: element}), as kept for the next start.
    formValues: function (controls) {
        var values = {};
        Object.keys(controls).forEach(function (name) {
            var control = controls[name];
            values[name] = control.type === 'checkbox' ? control.checked
                : control.type === 'number' ? Number(control.value) : control.value;
        });
        return values;
    },

    // Puts kept values back into the controls of formValues; a value a control cannot take
    // (an unknown option, a number out of range, a wrong type) leaves it as it is.
    setFormValues: function (controls, values) {
        if (!values || typeof values !== 'object') return;
        Object.keys(controls).forEach(function (name) {
            var control = controls[name], value = values[name];
            if (control.type === 'checkbox') {
                if (typeof value === 'boolean') control.checked = value;
            } else if (control.type === 'number') {
                if (typeof value !== 'number' || !isFinite(value)) return;
                var min = control.min === '' ? -Infinity : Number(control.min);
                var max = control.max === '' ? Infinity : Number(control.max);
                control.value = Studio.util.clamp(value, min, max);
            } else if (typeof value === 'string') {
                if (control.tagName !== 'SELECT' || $(control).find('option').filter(function () {
                    return this.value === value;
                }).length) control.value = value;
            }
        });
    },

    randomSeed: function () {
        return Math.floor(Math.random() * 1000000);
    }
};

// The status line at the bottom of the window: the outcome of the last action. Errors are
// also shown in full over the artwork, where the user is looking, until dismissed.
Studio.status = {
    element: null,
    notice: null,
    text: '',
    kind: 'info',

    show: function (text, kind) {
        this.text = text;
        this.kind = kind || 'info';
        if (!this.element) return;
        this.element.textContent = text;
        this.element.className = 'status-message ' + this.kind;
        this.element.title = text;
        if (this.kind !== 'error' && this.notice) this.notice.dismiss('error');
        // A message longer than the status line is shown whole over the artwork for a while,
        // unless the banner still offers buttons (an Undo).
        if (this.kind !== 'error' && this.notice && !this.notice.isOffering()
            && this.element.scrollWidth > this.element.clientWidth + 1)
            this.notice.show(text, 'info');
    },

    error: function (text, actions) {
        this.show(text, 'error');
        if (this.notice) this.notice.show(text, 'error', actions);
    },

    // A message with buttons ([[label, fn]]) over the artwork, e.g. an Undo offer.
    offer: function (text, actions) {
        this.show(text);
        if (this.notice) this.notice.show(text, 'info', actions);
    }
};

// The banner over the artwork: whole message text, optional action buttons, a close button.
// Every banner goes away by itself (the status line keeps the text): information soon, an
// error or an offer with buttons after long enough to read and reach it, and never while
// the mouse is on it.
Studio.Notice = function (container) {
    var el = Studio.util.el;
    var self = this;
    this.kind = '';
    this.timer = null;
    this.text = el('div', {'class': 'notice-text'});
    this.actions = el('div', {'class': 'notice-actions'});
    var close = el('button', {type: 'button', 'class': 'icon', 'data-action': 'dismiss-notice', title: 'Close'}, ['✕']);
    this.element = el('div', {'class': 'notice', role: 'alert'}, [this.text, this.actions, close]);
    $(close).on('click', function () { self.dismiss(); });
    $(this.element).on('mouseenter', function () { clearTimeout(self.timer); })
                   .on('mouseleave', function () { if (self.kind) self.leaveIn(Studio.Notice.afterHover); });
    container.appendChild(this.element);
};

// How long a banner stays, in ms.
Studio.Notice.lifetimes = {info: 8000, offer: 20000, error: 15000};
Studio.Notice.afterHover = 3000;

Studio.Notice.prototype = {
    show: function (text, kind, actions) {
        var self = this;
        this.kind = kind;
        this.text.textContent = text;
        $(this.actions).empty();
        (actions || []).forEach(function (action) {
            var button = Studio.util.el('button', {type: 'button', 'data-notice-action': action[0]}, [action[0]]);
            $(button).on('click', function () {
                self.dismiss();
                action[1]();
            });
            self.actions.appendChild(button);
        });
        this.element.className = 'notice on ' + kind;
        this.withActions = !!(actions && actions.length);
        var lifetimes = Studio.Notice.lifetimes;
        this.leaveIn(kind === 'error' ? lifetimes.error : this.withActions ? lifetimes.offer : lifetimes.info);
    },

    leaveIn: function (ms) {
        var self = this;
        clearTimeout(this.timer);
        this.timer = setTimeout(function () { self.dismiss(); }, ms);
    },

    // Whether the banner offers buttons the user may still want to reach.
    isOffering: function () {
        return this.isShown() && this.withActions;
    },

    // Hides the banner; with `kind`, only when it shows a message of that kind.
    dismiss: function (kind) {
        if (kind && kind !== this.kind) return;
        clearTimeout(this.timer);
        this.kind = '';
        this.element.className = 'notice';
    },

    isShown: function () {
        return /\bon\b/.test(this.element.className);
    }
};
