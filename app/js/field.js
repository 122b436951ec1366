// Input fields for parameters and list entries. A field reports live edits through onInput
// and the end of a gesture (slider released, text confirmed) through onCommit, which the
// history turns into an undo step.
Studio.Field = {
    // {element, setValue(value)} for one parameter description of the schema.
    build: function (param, value, onInput, onCommit) {
        var builder = Studio.Field.builders[param.kind];
        var field = builder(param, onInput, onCommit);
        field.element.className += ' field field-' + param.kind;
        field.element.setAttribute('data-field', param.key);
        field.setValue(value);
        return field;
    },

    label: function (param) {
        return Studio.util.el('label', {title: param.hint || ''}, [param.label]);
    },

    // The value a typed or dragged number is used as: within the range and no finer than the
    // field's step, so that the field can show exactly the value in use.
    numberOf: function (param, value) {
        return Studio.util.roundToStep(Studio.schema.coerce(param, value), param.step);
    },

    // At the end of typing: text that is no number and an empty field give back the value in
    // use, a number outside the range is clamped, a finer one rounded; each with a short note
    // by the field.
    settle: function (param, input, inUse, show) {
        var text = input.value;
        var bad = !!(input.validity && input.validity.badInput);
        if (text === '' || isNaN(Number(text))) {
            show(inUse);
            Studio.Field.note(input, (bad || text !== '' ? 'Not a number' : 'Empty') + ': kept ' + input.value);
            return;
        }
        var value = Number(text);
        var used = Studio.Field.numberOf(param, value);
        show(used);
        if (value < param.min) Studio.Field.note(input, 'The lowest is ' + param.min);
        else if (value > param.max) Studio.Field.note(input, 'The highest is ' + param.max);
        else if (used !== value) Studio.Field.note(input, 'Rounded to ' + used + ' (steps of ' + param.step + ')');
    },

    // A note under a field that fades after a moment, or at the next edit of the field.
    note: function (input, text) {
        var row = $(input).closest('.field');
        row.find('.field-note').remove();
        var note = Studio.util.el('div', {'class': 'field-note', 'data-note-for': input.getAttribute('data-key')}, [text]);
        var remove = function () {
            if (!note.parentNode) return;
            $(note).remove();
            row.removeClass('with-note');
            $(input).removeClass('noted');
        };
        row.addClass('with-note').append(note);
        $(input).addClass('noted').one('input', remove);
        setTimeout(remove, 3000);
    },

    builders: {
        // A slider with a number field, or for a stepper (the seed) a wide number field with
        // − and + buttons. The number field always ends up showing the value in use.
        real: function (param, onInput, onCommit) {
            var el = Studio.util.el;
            var current = param.min;
            var range = param.stepper ? null
                : el('input', {type: 'range', min: param.min, max: param.max, step: param.step, 'data-key': param.key});
            var number = el('input', {type: 'number', min: param.min, max: param.max, step: param.step,
                'data-key': param.key, 'class': 'number' + (param.stepper ? ' wide' : '')});
            var children = [Studio.Field.label(param)];
            // The field shows the value in use, every digit of it (a preset may hold more
            // digits than the step gives).
            var show = function (value) {
                current = value;
                if (range) range.value = value;
                number.value = value;
                $(number).removeClass('refused');
            };
            var use = function (value) {
                current = Studio.Field.numberOf(param, value);
                if (range) range.value = current;
                onInput(current);
            };
            if (range) {
                children.push(range);
                $(range).on('input', function () {
                    number.value = range.value;
                    use(Number(range.value));
                }).on('change', onCommit);
            }
            children.push(number);
            if (param.stepper) {
                [['−', -1, 'step-down'], ['+', 1, 'step-up']].forEach(function (stepper) {
                    var button = el('button', {type: 'button', 'class': 'stepper', 'data-action': stepper[2] + '-' + param.key,
                                               title: stepper[1] < 0 ? 'Previous' : 'Next'}, [stepper[0]]);
                    $(button).on('click', function () {
                        show(Studio.Field.numberOf(param, current + stepper[1] * param.step));
                        onInput(current);
                        onCommit();
                    });
                    children.push(button);
                });
            }
            // Typing regenerates once the typing pauses, or at once on Enter or leaving the field.
            var typing = null, typed = null;
            $(number).on('input', function () {
                var text = number.value;
                var refused = text === '' ? !!(number.validity && number.validity.badInput) : isNaN(Number(text));
                $(number).toggleClass('refused', refused);
                if (text === '' || refused) return;
                clearTimeout(typing);
                typed = Number(text);
                typing = setTimeout(function () { var value = typed; typed = null; use(value); }, 350);
            }).on('change', function () {
                clearTimeout(typing);
                if (typed !== null) { use(typed); typed = null; }
                Studio.Field.settle(param, number, current, show);
                onCommit();
            }).on('keydown', function (e) {
                if (e.which === 13) $(number).trigger('change');
            });
            return {element: el('div', {}, children), setValue: show};
        },

        int: function (param, onInput, onCommit) {
            return Studio.Field.builders.real(param, onInput, onCommit);
        },

        // A swatch that opens a picker (saturation and value square, hue bar, red, green and
        // blue) and the colour in hex.
        color: function (param, onInput, onCommit) {
            var el = Studio.util.el;
            var util = Studio.util;
            var swatch = el('button', {type: 'button', 'class': 'swatch', 'data-action': 'pick-' + param.key,
                                       title: 'Pick a colour'});
            var hex = el('input', {type: 'text', 'class': 'hex', 'data-key': param.key, 'data-hex': '', maxlength: 7,
                                   spellcheck: 'false', title: 'Colour as #rrggbb'});
            var channel = {key: param.key, label: param.label, kind: 'int', min: 0, max: 255, step: 1};
            var inputs = ['R', 'G', 'B'].map(function (name) {
                return el('input', {type: 'number', min: 0, max: 255, step: 1, title: name,
                    'data-key': param.key, 'data-channel': name, 'class': 'number channel'});
            });
            var marker = el('div', {'class': 'sv-marker'});
            var square = el('div', {'class': 'sv-square', 'data-picker': 'sv'}, [marker]);
            var hueMarker = el('div', {'class': 'hue-marker'});
            var hueBar = el('div', {'class': 'hue-bar', 'data-picker': 'hue'}, [hueMarker]);
            var picker = el('div', {'class': 'picker', 'data-picker-for': param.key}, [square, hueBar,
                el('div', {'class': 'channels'}, [el('span', {'class': 'hint'}, ['RGB'])].concat(inputs))]);
            var row = el('div', {}, [Studio.Field.label(param), swatch, hex, picker]);
            var current = [0, 0, 0];
            var hsv = {h: 0, s: 0, v: 0};
            var paint = function () {
                swatch.style.background = 'rgb(' + current.join(',') + ')';
                square.style.backgroundColor = 'rgb(' + util.rgbOfHsv(hsv.h, 1, 1).join(',') + ')';
                marker.style.left = (hsv.s * 100) + '%';
                marker.style.top = ((1 - hsv.v) * 100) + '%';
                hueMarker.style.left = (hsv.h / 360 * 100) + '%';
            };
            var show = function (value, keepHsv) {
                current = value.slice();
                // Grey and black have no hue of their own: the picker keeps the one it had.
                if (!keepHsv) {
                    var next = util.hsvOf(current);
                    if (next.s === 0 || next.v === 0) next.h = hsv.h;
                    if (next.v === 0) next.s = hsv.s;
                    hsv = next;
                }
                inputs.forEach(function (input, i) {
                    input.value = value[i];
                    $(input).removeClass('refused');
                });
                if (document.activeElement !== hex) hex.value = util.hexOf(current);
                $(hex).removeClass('refused');
                paint();
            };
            var use = function (value, keepHsv) {
                show(value, keepHsv);
                onInput(current.slice());
            };
            inputs.forEach(function (input, i) {
                $(input).on('input', function () {
                    var refused = input.value === '' ? !!(input.validity && input.validity.badInput)
                        : isNaN(Number(input.value));
                    $(input).toggleClass('refused', refused);
                    if (input.value === '' || refused) return;
                    var next = current.slice();
                    next[i] = Studio.schema.coerce(channel, input.value);
                    current = next;
                    swatch.style.background = 'rgb(' + current.join(',') + ')';
                    hex.value = util.hexOf(current);
                    onInput(current.slice());
                }).on('change', function () {
                    Studio.Field.settle(channel, input, current[i], function (value) {
                        current[i] = value;
                        show(current);
                    });
                    onCommit();
                });
            });
            $(hex).on('input', function () {
                var rgb = util.rgbOfHex(hex.value);
                $(hex).toggleClass('refused', !rgb && hex.value.replace('#', '').length >= 6);
                if (rgb) use(rgb);
            }).on('change', function () {
                if (!util.rgbOfHex(hex.value)) Studio.Field.note(hex, 'Not a colour: kept ' + util.hexOf(current));
                hex.value = util.hexOf(current);
                $(hex).removeClass('refused');
                onCommit();
            }).on('focus', function () { hex.select(); });
            $(swatch).on('click', function () {
                var open = !$(picker).hasClass('open');
                $('.picker.open').removeClass('open');
                $(picker).toggleClass('open', open);
            });
            var dragging = null;
            var pick = function (e) {
                var box = dragging.getBoundingClientRect();
                var x = util.clamp((e.clientX - box.left) / box.width, 0, 1);
                var y = util.clamp((e.clientY - box.top) / box.height, 0, 1);
                if (dragging === square) {
                    hsv.s = x;
                    hsv.v = 1 - y;
                } else {
                    hsv.h = Math.min(359.9, x * 360);
                }
                use(util.rgbOfHsv(hsv.h, hsv.s, hsv.v), true);
            };
            $([square, hueBar]).on('mousedown', function (e) {
                if (e.which !== 1) return;
                e.preventDefault();
                dragging = this;
                pick(e);
            });
            $(document).on('mousemove', function (e) {
                if (dragging) pick(e);
            }).on('mouseup', function () {
                if (!dragging) return;
                dragging = null;
                onCommit();
            });
            return {element: row, setValue: show};
        },

        bool: function (param, onInput, onCommit) {
            var box = Studio.util.el('input', {type: 'checkbox', 'data-key': param.key});
            var row = Studio.util.el('div', {}, [Studio.Field.label(param), box]);
            $(box).on('change', function () {
                onInput(box.checked);
                onCommit();
            });
            return {element: row, setValue: function (value) { box.checked = !!value; }};
        },

        choice: function (param, onInput, onCommit) {
            var select = Studio.util.el('select', {'data-key': param.key}, param.options.map(function (option) {
                return Studio.util.el('option', {value: option[0]}, [option[1]]);
            }));
            var row = Studio.util.el('div', {}, [Studio.Field.label(param), select]);
            $(select).on('change', function () {
                onInput(Studio.schema.coerce(param, select.value));
                onCommit();
            });
            return {element: row, setValue: function (value) { select.value = String(value); }};
        },

        text: function (param, onInput, onCommit) {
            var input = Studio.util.el('input', {type: 'text', 'data-key': param.key, placeholder: 'Type a word'});
            var row = Studio.util.el('div', {}, [Studio.Field.label(param), input]);
            $(input).on('input', function () { onInput(input.value); }).on('change', onCommit);
            return {element: row, setValue: function (value) {
                if (input.value !== value) input.value = value;
            }};
        },

        font: function (param, onInput, onCommit) {
            var families = Studio.masks.fonts();
            var select = Studio.util.el('select', {'data-key': param.key}, families.map(function (family) {
                return Studio.util.el('option', {value: family}, [family]);
            }));
            var row = Studio.util.el('div', {}, [Studio.Field.label(param), select]);
            $(select).on('change', function () {
                onInput(select.value);
                onCommit();
            });
            return {element: row, setValue: function (value) { select.value = value; }};
        },

        file: function (param, onInput, onCommit) {
            var el = Studio.util.el;
            var name = el('span', {'class': 'file-name', 'data-key': param.key});
            var choose = el('button', {type: 'button', 'data-action': 'choose-' + param.key}, ['Choose…']);
            var clear = el('button', {type: 'button', 'data-action': 'clear-' + param.key, title: 'No image'}, ['×']);
            var row = el('div', {}, [Studio.Field.label(param), name, choose, clear]);
            var show = function (value) {
                name.textContent = value ? Studio.util.fileName(value) : 'No image';
                name.title = value;
            };
            $(choose).on('click', function () {
                var path = Studio.masks.chooseImage();
                if (!path) return;
                show(path);
                onInput(path);
                onCommit();
            });
            $(clear).on('click', function () {
                show('');
                onInput('');
                onCommit();
            });
            return {element: row, setValue: show};
        }
    }
};
