.pragma library
// The vignette's on-screen geometry and drag rules for Shotcut's player, in frame pixels,
// the same as the plug-in's overlay (what `qxv handles` and `qxv drag` report): Shotcut draws
// and drags with these functions, and tests/editors/shotcut_vui_geometry_test.js holds them
// to the plug-in's numbers. Pixels are square (MLT hands frei0r modules square-pixel frames).

var kMaxLength = 15000;          // Width, Height and Feather, in pixels
var kHandleReach = 16;           // screen pixels, city-block distance
var kOpacityTrackOffsetX = 40;   // screen pixels left of the centre
var kOpacityTrackHalfLength = 50;
var kCentre = 0;                 // the Point of origin: a handle of the host's, not the plug-in's
var kTopLeft = 1, kTopRight = 2, kBottomLeft = 3, kBottomRight = 4, kAngle = 5;
var kFeatherLeft = 6, kFeatherRight = 7, kFeatherTop = 8, kFeatherBottom = 9, kOpacity = 10;

var f = Math.fround;  // the plug-in's single-precision steps, where it takes them

function limit(v, lowest, highest) {
    if (!(v > lowest)) return lowest;
    return v < highest ? v : highest;
}

// Vignette Type as MLT holds it: a label in any letter case, or its 1-based number.
function isRectangle(type) {
    var text = String(type).trim().toLowerCase();
    return text === 'rectangle' || text === '2';
}

// The frei0r values (fractions of the frame, turns, 0..1) as the plug-in's pixels, degrees
// and per cent.
function shapeFromValues(values, frameWidth, frameHeight) {
    return {
        rectangle: isRectangle(values.type),
        x: values.x * frameWidth,
        y: values.y * frameHeight,
        width: limit(values.width * frameWidth, 0, kMaxLength),
        height: limit(values.height * frameHeight, 0, kMaxLength),
        degrees: toFixed(values.angle * 360) / 65536,  // the module holds degrees in 16.16
        feather: limit(values.feather * frameWidth, 0, kMaxLength),
        percent: limit(values.opacity * 100, 0, 100)
    };
}

// 16.16 fixed point, halves away from zero.
function toFixed(v) {
    return v < 0 ? -Math.round(-v * 65536) : Math.round(v * 65536);
}

// Angle in radians, in single precision as the plug-in turns its overlay.
function radians(shape) {
    return f(shape.degrees * 0.017453292519943295);
}

// A point (dx, dy) from the centre, turned by Angle: clockwise on screen, y pointing down.
function turned(shape, dx, dy) {
    var a = radians(shape);
    var c = Math.cos(a), s = Math.sin(a);
    return {x: shape.x + dx * c - dy * s, y: shape.y + dy * c + dx * s};
}

// The outline's corners, top-left, top-right, bottom-right, bottom-left as on the unturned
// shape.
function outlineCorners(shape) {
    return rectangleCorners(shape, shape.width / 2, shape.height / 2);
}

// The feather's inner edge: the outline shrunk by Feather at the sides and by Feather x H / W
// at the top and bottom (the outline's proportions); past the centre it turns inside out.
function featherInsetY(shape) {
    return shape.width > 0 && shape.height > 0 ? shape.feather * shape.height / shape.width : 0;
}

function featherCorners(shape) {
    return rectangleCorners(shape, shape.width / 2 - shape.feather, shape.height / 2 - featherInsetY(shape));
}

function rectangleCorners(shape, halfWidth, halfHeight) {
    return [turned(shape, -halfWidth, -halfHeight), turned(shape, halfWidth, -halfHeight),
            turned(shape, halfWidth, halfHeight), turned(shape, -halfWidth, halfHeight)];
}

// An ellipse of these half axes about the centre, turned, as `count` points.
function ellipsePoints(shape, halfWidth, halfHeight, count) {
    var points = [];
    for (var i = 0; i < count; ++i) {
        var t = 2 * Math.PI * i / count;
        points.push(turned(shape, Math.cos(t) * halfWidth, Math.sin(t) * halfHeight));
    }
    return points;
}

function midpoint(a, b) { return {x: (a.x + b.x) / 2, y: (a.y + b.y) / 2}; }

// The ten handles in frame pixels, index = handle number - 1. The angle handle is a fifth
// of the frame height from the centre; the opacity track keeps its size on screen (1 % is
// one screen pixel), so it takes the screen pixels per frame pixel.
function handles(shape, frameHeight, screenScale) {
    var o = outlineCorners(shape), f = featherCorners(shape);
    var a = radians(shape), reach = frameHeight / 5;
    return [o[0], o[1], o[3], o[2],
            {x: shape.x + Math.sin(a) * reach, y: shape.y - Math.cos(a) * reach},
            midpoint(f[0], f[3]), midpoint(f[1], f[2]), midpoint(f[0], f[1]), midpoint(f[3], f[2]),
            {x: shape.x - kOpacityTrackOffsetX / screenScale,
             y: shape.y + (kOpacityTrackHalfLength - shape.percent) / screenScale}];
}

// The handle a click at (x, y) frame pixels takes: the first by number within the reach on
// screen, then the centre; -1 for none.
function handleAt(shape, frameHeight, screenScale, x, y) {
    var all = handles(shape, frameHeight, screenScale);
    all.push({x: shape.x, y: shape.y});
    for (var i = 0; i < all.length; ++i) {
        var distance = (Math.abs(all[i].x - x) + Math.abs(all[i].y - y)) * screenScale;
        if (distance < kHandleReach) return i < 10 ? i + 1 : kCentre;
    }
    return -1;
}

// What a drag of `handle` to (x, y) frame pixels sets, in the plug-in's units (pixels,
// degrees, per cent), by the plug-in's rules: a corner goes under the mouse with the
// opposite one kept about the centre, the angle points at the mouse, a feather handle sets
// the feather its edge would have at the mouse, the opacity knob follows the mouse on its
// track. The centre follows the mouse by the distance it moved since `press`.
function drag(shape, handle, x, y, screenScale, press) {
    var dx = x - shape.x, dy = y - shape.y;
    var a = radians(shape), c = f(Math.cos(a)), s = f(Math.sin(a));
    switch (handle) {
    case kCentre:
        return {x: press.shapeX + x - press.x, y: press.shapeY + y - press.y};
    case kTopLeft: case kTopRight: case kBottomLeft: case kBottomRight: {
        var sx = (handle === kTopLeft || handle === kBottomLeft) ? -1 : 1;
        var sy = (handle === kTopLeft || handle === kTopRight) ? -1 : 1;
        var u = f(f(f(dx) * c) + f(f(dy) * s)), v = f(f(f(dy) * c) - f(f(dx) * s));
        return {width: limit(f(2 * sx * u), 0, kMaxLength), height: limit(f(2 * sy * v), 0, kMaxLength)};
    }
    case kAngle:
        return {degrees: bearing(dx, dy)};
    case kFeatherLeft:
        // The left handle's rule scales by cos(Angle) and the right one's does not: the
        // plug-in's drag rules, kept as they are.
        return {feather: f(limit((dx + shape.width * 0.5) * c, 0, kMaxLength))};
    case kFeatherRight:
        return {feather: f(limit(shape.width * 0.5 - dx, 0, kMaxLength))};
    case kFeatherTop: case kFeatherBottom: {
        if (shape.height === 0) return {};
        var ratio = f(shape.width / shape.height);
        var offset = handle === kFeatherTop ? dy + shape.height * 0.5 : shape.height * 0.5 - dy;
        return {feather: f(limit(offset * ratio, 0, kMaxLength))};
    }
    case kOpacity:
        return {percent: limit((shape.y - y) * screenScale + kOpacityTrackHalfLength, 0, 100)};
    }
    return {};
}

// The mouse's bearing from the centre, clockwise from straight up, in [0, 360) degrees held
// to 16.16; the mouse on the centre gives 270.
function bearing(dx, dy) {
    var degrees;
    if (dy === 0) {
        degrees = dx > 0 ? 90 : 270;
    } else if (dx === 0) {
        degrees = dy > 0 ? 180 : 0;
    } else {
        var turned = f(-(f(Math.atan(f(f(dx) / f(dy)))) / 0.017453292519943295));
        degrees = dy > 0 ? f(turned + 180) : turned < 0 ? f(turned + 360) : turned;
    }
    var scaled = f(degrees * 65536);
    var fixed = Math.trunc(f(degrees < 0 ? scaled - 0.5 : scaled + 0.5)) % (360 * 65536);
    return (fixed < 0 ? fixed + 360 * 65536 : fixed) / 65536;
}

// A drag's result as the frei0r values Shotcut stores. Angle goes to -180..180 degrees,
// the range of the panel's slider (the same turn).
function valuesFromDrag(result, frameWidth, frameHeight) {
    var values = {};
    if (result.x !== undefined) values.x = result.x / frameWidth;
    if (result.y !== undefined) values.y = result.y / frameHeight;
    if (result.width !== undefined) values.width = result.width / frameWidth;
    if (result.height !== undefined) values.height = result.height / frameHeight;
    if (result.degrees !== undefined)
        values.angle = (result.degrees > 180 ? result.degrees - 360 : result.degrees) / 360;
    if (result.feather !== undefined) values.feather = result.feather / frameWidth;
    if (result.percent !== undefined) values.opacity = result.percent / 100;
    return values;
}
