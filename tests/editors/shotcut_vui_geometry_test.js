// Holds the geometry of Shotcut's on-screen handles (vignette.js, which the filter's vui
// draws and drags with) to the plug-in's own: for a table of values and frame sizes, every
// handle where `qxv handles` finds it and every drag's values as `qxv drag` reports them,
// within half a pixel. Run as: node shotcut_vui_geometry_test.js BUILD_DIR SOURCE_DIR
'use strict';
const {execFileSync} = require('child_process');
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const [build, source] = process.argv.slice(2);
const qxv = path.join(build, 'qxv');
if (!fs.existsSync(qxv)) {
    console.log(`no qxv in ${build}`);
    process.exit(77);
}
// The file is a QML JavaScript library; its one QML-only line is the pragma.
const libraryText = fs.readFileSync(path.join(source, 'tools/editor_descriptions/shotcut/vignette.js'), 'utf8');
const vignette = {};
vm.runInNewContext(libraryText.replace(/^\.pragma library$/m, '') +
                   '\nexports = {shapeFromValues, handles, handleAt, drag, valuesFromDrag};', vignette);
const js = vignette.exports;

const kTolerance = 0.5;
// The drag rules take the plug-in's single-precision steps, so they agree to rounding noise.
const kDragTolerance = 1e-3;
const kEpsilon = 1 / 1024;  // the plug-in's 16.16 and single-precision steps
let passed = 0, failed = 0;
function check(ok, what) {
    if (ok) { ++passed; return; }
    ++failed;
    console.log(`FAIL ${what}`);
}

// Each case in the plug-in's units, on a frame of its size; the frei0r values Shotcut holds
// are made from them as the module reads them.
const cases = [
    {size: [1920, 1080], set: {}},
    {size: [1920, 1080], set: {type: 'Rectangle', width: 600, height: 300, angle: 90, feather: 100}},
    {size: [1920, 1080], set: {x: 700, y: 500, width: 800, height: 400, angle: 30, feather: 150, opacity: 80}},
    {size: [640, 480], set: {type: 'Rectangle', width: 200, height: 300, angle: -45, feather: 40, opacity: 60,
                             invert: true}},
    {size: [640, 480], set: {width: 4, height: 2, feather: 1, opacity: 100, maskOnly: true}},
    {size: [1920, 1080], set: {width: 15000, height: 12000, angle: 10, feather: 3000}},
    {size: [720, 576], set: {type: 'Rectangle', width: 200, height: 100, feather: 150, angle: 135, opacity: 5}},
    {size: [1280, 720], set: {type: 'Rectangle', width: 400, height: 0, angle: 180, invert: true, maskOnly: true}},
    {size: [1440, 1080], set: {x: 400, y: 300, width: 500, height: 500, angle: 270, feather: 0, opacity: 0}},
];

function plugInArgs(c) {
    const s = c.set, args = ['--host', 'premiere', '--size', `${c.size[0]}x${c.size[1]}`];
    const add = (name, value) => { if (value !== undefined) args.push('--set', `${name}=${value}`); };
    add('Vignette Type', s.type);
    if (s.x !== undefined) add('Point of origin', `${s.x},${s.y}`);
    add('Width', s.width); add('Height', s.height); add('Angle', s.angle); add('Feather', s.feather);
    add('Opacity', s.opacity);
    add('Invert', s.invert ? 'on' : undefined); add('Mask Only', s.maskOnly ? 'on' : undefined);
    return args;
}

function frei0rValues(c) {
    const [w, h] = c.size, s = c.set;
    return {type: s.type || 'Ellipse', x: (s.x === undefined ? w / 2 : s.x) / w, y: (s.y === undefined ? h / 2 : s.y) / h,
            width: (s.width === undefined ? 300 : s.width) / w, height: (s.height === undefined ? 200 : s.height) / h,
            angle: (s.angle || 0) / 360, feather: (s.feather === undefined ? 100 : s.feather) / w,
            opacity: (s.opacity === undefined ? 25 : s.opacity) / 100};
}

function run(args) { return JSON.parse(execFileSync(qxv, args, {encoding: 'utf8'})); }

// Drag targets, as offsets from the handle: across the centre for some, far out for others.
const moves = [[37, -23], [-120, 95], [0, -30], [250, 10]];

cases.forEach((c, caseNumber) => {
    const [frameWidth, frameHeight] = c.size;
    const name = `case ${caseNumber} ${frameWidth}x${frameHeight} ${JSON.stringify(c.set)}`;
    const shape = js.shapeFromValues(frei0rValues(c), frameWidth, frameHeight);
    const expected = run(['handles', '--json', ...plugInArgs(c)]).handles;
    const ours = js.handles(shape, frameHeight, 1);
    for (const handle of expected) {
        const mine = ours[handle.number - 1];
        // A probed handle is the whole pixel its hit test floors to. A hidden one (no click
        // reaches it) is given where it is drawn: a feather circle between two corners each
        // rounded to whole pixels, its centre rounded again, so up to a pixel from the point.
        const hidden = handle.probed === false;
        const centre = hidden ? 0 : 0.5;
        const drift = Math.max(Math.abs(mine.x - (handle.x + centre)), Math.abs(mine.y - (handle.y + centre)));
        check(drift <= (hidden ? 1 : kTolerance) + kEpsilon,
              `${name}: handle ${handle.number} at ${mine.x.toFixed(3)},${mine.y.toFixed(3)}, the plug-in's ` +
              `${handle.x},${handle.y} (drift ${drift.toFixed(3)})`);
        if (handle.probed === false) continue;

        const [mx, my] = moves[(handle.number + caseNumber) % moves.length];
        const from = [handle.x, handle.y], to = [handle.x + mx, handle.y + my];
        const report = run(['drag', '--json', '--from', from.join(','), '--to', to.join(','), '--steps', '3',
                            ...plugInArgs(c)]);
        const taken = js.handleAt(shape, frameHeight, 1, from[0] + 0.5, from[1] + 0.5);
        check(taken === report.handle, `${name}: a click on handle ${handle.number} takes ${taken}, the plug-in's ${report.handle}`);
        const after = report.events[report.events.length - 1].params;
        const result = js.drag(shape, report.handle, to[0], to[1], 1, null);
        // Every difference as the pixels it moves a handle by: lengths as they are, the angle
        // at the angle handle's reach, opacity on its track (1 % a pixel).
        const drifts = [];
        if (result.width !== undefined) drifts.push(result.width - after.Width, result.height - after.Height);
        if (result.feather !== undefined) drifts.push(result.feather - after.Feather);
        if (result.percent !== undefined) drifts.push(result.percent - after.Opacity / 65536);
        if (result.degrees !== undefined) {
            let turn = (result.degrees - after.Angle / 65536) / 360;
            turn -= Math.round(turn);
            drifts.push(turn * 2 * Math.PI * frameHeight / 5);
        }
        const worst = Math.max(0, ...drifts.map(Math.abs));
        check(worst <= kDragTolerance, `${name}: drag of handle ${handle.number} to ${to}: ${JSON.stringify(result)}, ` +
              `the plug-in's ${JSON.stringify(after)} (drift ${worst.toFixed(3)})`);
    }
});

// What Shotcut stores: frei0r units, the angle in the panel's -180..180 degrees.
const stored = js.valuesFromDrag({x: 480, y: 270, width: 960, height: 540, degrees: 270, feather: 96, percent: 40},
                                 1920, 1080);
check(JSON.stringify(stored) === JSON.stringify({x: 0.25, y: 0.25, width: 0.5, height: 0.5, angle: -0.25,
                                                 feather: 0.05, opacity: 0.4}),
      `stored values ${JSON.stringify(stored)}`);

console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
