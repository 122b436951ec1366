// Every parameter of the generator's map: its group, label, kind, range and the default of
// a good-looking artwork. Controls, presets and imports all follow this one table.
Studio.schema = (function () {
    function real(key, label, min, max, step, hint) {
        return {key: key, label: label, kind: 'real', min: min, max: max, step: step, hint: hint || ''};
    }
    function int(key, label, min, max, step, hint) {
        return {key: key, label: label, kind: 'int', min: min, max: max, step: step || 1, hint: hint || ''};
    }
    function color(key, label) {
        return {key: key, label: label, kind: 'color'};
    }
    // A field without a slider: a slider over a range this wide cannot pick a value.
    function stepper(param) {
        param.stepper = true;
        return param;
    }
    function onlyFor(param, maskType) {
        param.maskType = maskType;
        return param;
    }

    var groups = [
        {id: 'canvas', title: 'Canvas & seed', params: [
            stepper(int('seed', 'Seed', 0, 999999, 1, 'Every random choice follows from the seed')),
            int('width', 'Width', 32, 4096, 1, 'Canvas width in pixels'),
            int('height', 'Height', 32, 4096, 1, 'Canvas height in pixels'),
            real('scale', 'Cell scale', 0.2, 3, 0.01, 'Cell size is 20 × scale pixels'),
            int('loops', 'Fill passes', 0, 6, 1, 'Passes that fill free cells with wires')
        ]},
        {id: 'wires', title: 'Wires', params: [
            real('wire_length', 'Length', 0.01, 1, 0.01, 'Longest wire: 200 × length cells'),
            real('wire_thickness', 'Thickness', 0.1, 5, 0.05, 'Base trace width'),
            real('wire_thick_percent', 'Thick share', 0, 1, 0.01, 'Probability that a wire is thick'),
            real('max_wire_thickness', 'Thick factor', 1, 6, 0.05, 'How much thicker thick wires are'),
            real('wire_roundness', 'Roundness', 0, 4, 0.05, 'Rounding of the corners'),
            real('dense_amount', 'Double lanes', 0, 1, 0.01, 'Share of fill wires that try a second lane'),
            real('cutoff_length', 'Cut-off length', 0, 1, 0.01, 'Short wires up to this length may be cut'),
            real('cutoff_percentage', 'Cut-off chance', 0, 1, 0.01, 'Probability that a short wire is cut')
        ]},
        {id: 'tendencies', title: 'Tendencies', params: [
            real('tendency_straight', 'Straight', 0, 2, 0.01, 'Bonus for going straight on'),
            real('tendency_homogenity', 'Neighbours', 0, 2, 0.01, "Weight of the neighbours' direction"),
            real('tendency_hv', 'Orthogonal', 0, 2, 0.01, 'Bonus for horizontal and vertical steps'),
            real('tendency_random', 'Randomness', 0, 2, 0.01, 'Base weight of every turn'),
            real('tendency_power', 'Power', 0.1, 6, 0.05, 'Exponent applied to the turn weights')
        ]},
        {id: 'pads', title: 'Pads', params: [
            real('dot_size', 'Pad size', 0, 4, 0.05, 'Size of the round pads at wire ends'),
            real('hole_size', 'Hole size', 0, 1, 0.01, 'Hole relative to the pad'),
            real('inside_hole_size', 'Inner hole', 0, 1, 0.01, 'Inner hole relative to the hole'),
            real('glowing_dots_amount', 'Glowing pads', 0, 1, 0.01, 'Probability that a pad glows')
        ]},
        {id: 'signals', title: 'Signals', params: [
            real('signal_amount', 'Amount', 0, 1, 0.01, 'Probability that a wire carries a signal'),
            real('signal_size', 'Size', 0, 1, 0.01, 'Mean length of a signal'),
            real('signal_size_variance', 'Size spread', 0, 1, 0.01, 'Spread of the signal length'),
            real('signal_glowing', 'Glow', 0, 3, 0.05, 'Glow strength of signals')
        ]},
        {id: 'effects', title: 'Effects', params: [
            real('wire_shadow', 'Shadow', 0, 1, 0.01, 'Drop shadow under wires and pads'),
            real('vignetting', 'Vignette', 0, 1.5, 0.01, 'Darkening towards the corners')
        ]},
        {id: 'colours', title: 'Colours', params: [
            color('bg_color', 'Background'),
            color('wire_color', 'Wires & pads'),
            color('inside_hole_color', 'Inner hole'),
            color('signal_color', 'Signal glow')
        ]},
        {id: 'mask', title: 'Mask', params: [
            {key: 'mask_type', label: 'Type', kind: 'choice', options: [['text', 'Text'], ['image', 'Image']]},
            real('masking', 'Strength', 0, 1, 0.01, '0 turns the mask off'),
            real('masking_scale_x', 'Scale X', 0.1, 4, 0.01, 'Horizontal scale of the mask'),
            real('masking_scale_y', 'Scale Y', 0.1, 4, 0.01, 'Vertical scale of the mask'),
            {key: 'invert_mask', label: 'Invert', kind: 'bool'},
            onlyFor({key: 'mask_text', label: 'Text', kind: 'text'}, 'text'),
            onlyFor({key: 'mask_font', label: 'Font', kind: 'font'}, 'text'),
            onlyFor(int('mask_font_weight', 'Weight', 100, 900, 100, '100 thin to 900 black'), 'text'),
            onlyFor({key: 'mask_italic', label: 'Italic', kind: 'bool'}, 'text'),
            onlyFor(int('mask_letter_spacing', 'Letter spacing', -50, 200, 1, 'Percent added to 100'), 'text'),
            onlyFor({key: 'mask_file_path', label: 'Image', kind: 'file'}, 'image')
        ]}
    ];

    // Fields of the entries of the three placed lists, as edited in the side list.
    var lists = {
        chips: {title: 'Chips', singular: 'Chip', fields: [
            real('x', 'X', 0, 1, 0.001), real('y', 'Y', 0, 1, 0.001),
            int('w', 'Width', 0, 60, 1, 'cells'), int('h', 'Height', 0, 60, 1, 'cells'),
            {key: 'connections', label: 'Pins', kind: 'choice', options: [
                [0, 'None'], [1, 'Left & right'], [2, 'Top & bottom'], [3, 'All sides']]},
            {key: 'render', label: 'Draw body', kind: 'bool'}
        ]},
        modificators: {title: 'Modifiers', singular: 'Modifier', fields: [
            {key: 'direction', label: 'Effect', kind: 'choice', options: [
                [1, 'Vertical wires'], [2, 'Diagonal ↗ wires'], [3, 'Horizontal wires'], [4, 'Diagonal ↘ wires'],
                [6, 'Clear (mask)'], [7, 'Double lanes'], [8, 'Signals']]},
            real('intensity', 'Intensity', 0, 3, 0.01), real('spread', 'Spread', 0.005, 1, 0.005),
            real('x1', 'X1', 0, 1, 0.001), real('y1', 'Y1', 0, 1, 0.001),
            real('x2', 'X2', 0, 1, 0.001), real('y2', 'Y2', 0, 1, 0.001),
            {key: 'type', label: 'Active', kind: 'choice', options: [[0, 'Yes'], [1, 'No (kept, no effect)']]}
        ]},
        adjustments: {title: 'Adjustments', singular: 'Adjustment', fields: [
            real('x', 'X', 0, 1, 0.001), real('y', 'Y', 0, 1, 0.001),
            real('radius', 'Radius', 0.001, 0.5, 0.001), real('hardness', 'Hardness', 0, 1, 0.01),
            real('masking', 'Clear', -2, 2, 0.01), real('density', 'Lanes', 0, 2, 0.01),
            real('signal_amount', 'Signals', 0, 2, 0.01)
        ]}
    };

    var defaults = {
        seed: 4242, width: 600, height: 400,
        masking: 0, masking_scale_x: 1, masking_scale_y: 1,
        scale: 0.6, wire_length: 0.35, wire_thick_percent: 0.15,
        cutoff_length: 0.3, cutoff_percentage: 0.7,
        wire_thickness: 1.2, dot_size: 1.3, hole_size: 0.5, inside_hole_size: 0.45,
        max_wire_thickness: 2.4, wire_roundness: 0.8,
        tendency_straight: 0.6, tendency_homogenity: 0.5, dense_amount: 0.35,
        tendency_hv: 0.3, tendency_random: 0.4, tendency_power: 1.5, loops: 2,
        bg_color: [9, 20, 34], wire_color: [86, 214, 190],
        inside_hole_color: [9, 20, 34], signal_color: [255, 196, 96],
        signal_amount: 0.5, signal_size: 0.4, signal_size_variance: 0.5, signal_glowing: 1.2,
        glowing_dots_amount: 0.15, wire_shadow: 0.6, vignetting: 0.5,
        mask_type: 'text', mask_text: '', mask_font: '',
        mask_letter_spacing: 0, mask_font_weight: 700, mask_italic: false,
        invert_mask: false, mask_file_path: '',
        modificators: [], adjustments: [],
        chips: [{x: 0.5, y: 0.5, w: 8, h: 5, connections: 3, render: true}]
    };

    // What a newly placed item starts with, besides its position.
    var newItems = {
        chips: {w: 6, h: 4, connections: 3, render: true},
        modificators: {type: 0, intensity: 1, spread: 0.05, direction: 3},
        adjustments: {radius: 0.01, hardness: 0.6, masking: 1.5, density: 0, signal_amount: 0}
    };

    function allParams() {
        var result = [];
        groups.forEach(function (group) { result = result.concat(group.params); });
        return result;
    }

    function paramOf(key) {
        return allParams().filter(function (p) { return p.key === key; })[0];
    }

    // A full map from any map: unknown keys dropped, missing keys from the defaults, numbers
    // kept in their range and of their kind. Imported presets may come from older versions.
    function normalise(map) {
        var result = Studio.util.clone(defaults);
        map = map || {};
        allParams().forEach(function (param) {
            if (map[param.key] !== undefined && map[param.key] !== null)
                result[param.key] = coerce(param, map[param.key]);
        });
        Object.keys(lists).forEach(function (name) {
            if (Array.isArray(map[name]))
                result[name] = map[name].map(function (item) { return normaliseItem(name, item); });
        });
        return result;
    }

    function normaliseItem(listName, item) {
        var result = {};
        lists[listName].fields.forEach(function (field) {
            var value = item && item[field.key] !== undefined ? item[field.key] : newItems[listName][field.key];
            result[field.key] = coerce(field, value === undefined ? 0 : value);
        });
        return result;
    }

    function coerce(param, value) {
        switch (param.kind) {
        case 'real': return Studio.util.clamp(Number(value) || 0, param.min, param.max);
        case 'int': return Math.round(Studio.util.clamp(Number(value) || 0, param.min, param.max));
        case 'bool': return !!value;
        case 'color': return [0, 1, 2].map(function (i) {
            return Math.round(Studio.util.clamp(Number((value || [])[i]) || 0, 0, 255));
        });
        case 'choice': return coerceChoice(param, value);
        default: return String(value);
        }
    }

    // Numeric choices keep any number (the generator defines them all); a text choice that
    // is none of the options reads as the last one: any mask type but "text" is the image mask.
    function coerceChoice(param, value) {
        if (typeof param.options[0][0] === 'number') return Number(value) || 0;
        var known = param.options.some(function (option) { return option[0] === String(value); });
        return known ? String(value) : param.options[param.options.length - 1][0];
    }

    return {
        groups: groups, lists: lists, defaults: defaults, newItems: newItems,
        allParams: allParams, paramOf: paramOf, normalise: normalise, normaliseItem: normaliseItem, coerce: coerce
    };
}());
