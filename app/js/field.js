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

    builders: {
        real: function (param, onInput, onCommit) {
            var el = Studio.util.el;
            var range = el('input', {type: 'range', min: param.min, max: param.max, step: param.step, 'data-key': param.key});
            var number = el('input', {type: 'number', min: param.min, max: param.max, step: param.step,
                'data-key': param.key, 'class': 'number'});
            var row = el('div', {}, [Studio.Field.label(param), range, number]);
            var show = function (value) {
                range.value = value;
                number.value = Studio.util.roundToStep(value, param.step);
            };
            $(range).on('input', function () {
                number.value = range.value;
                onInput(Number(range.value));
            }).on('change', onCommit);
            // Typing regenerates once the typing pauses, or at once on Enter or leaving the field.
            var typing = null;
            $(number).on('input', function () {
                if (number.value === '' || isNaN(Number(number.value))) return;
                range.value = number.value;
                clearTimeout(typing);
                typing = setTimeout(function () { onInput(Number(number.value)); }, 350);
            }).on('change', function () {
                clearTimeout(typing);
                // A cleared field goes back to the value in use rather than showing another.
                var typed = number.value === '' || isNaN(Number(number.value)) ? range.value : number.value;
                var value = Studio.schema.coerce(param, typed);
                show(value);
                onInput(value);
                onCommit();
            }).on('keydown', function (e) {
                if (e.which === 13) $(number).trigger('change');
            });
            return {element: row, setValue: show};
        },

        int: function (param, onInput, onCommit) {
            return Studio.Field.builders.real(param, onInput, onCommit);
        },

        color: function (param, onInput, onCommit) {
            var el = Studio.util.el;
            var swatch = el('span', {'class': 'swatch'});
            var inputs = ['R', 'G', 'B'].map(function (channel) {
                return el('input', {type: 'number', min: 0, max: 255, step: 1, title: channel,
                    'data-key': param.key, 'data-channel': channel, 'class': 'number channel'});
            });
            var row = el('div', {}, [Studio.Field.label(param), swatch].concat(inputs));
            var current = [0, 0, 0];
            var show = function (value) {
                current = value.slice();
                inputs.forEach(function (input, i) { input.value = value[i]; });
                swatch.style.background = 'rgb(' + value.join(',') + ')';
            };
            inputs.forEach(function (input, i) {
                $(input).on('input', function () {
                    if (input.value === '' || isNaN(Number(input.value))) return;
                    current[i] = Studio.util.clamp(Math.round(Number(input.value)), 0, 255);
                    swatch.style.background = 'rgb(' + current.join(',') + ')';
                    onInput(current.slice());
                }).on('change', onCommit);
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
