// The vignette drawn over Shotcut's player while the filter is selected, with the plug-in's
// ten handles to drag, as in After Effects: the corners size the shape, the feather circles
// set Feather, the handle on the line from the centre turns it, the knob left of the centre
// sets Opacity, and the centre itself moves the Point of origin. Every position and drag rule
// is vignette.js's, in frame pixels; this file only maps them to the screen and writes the
// filter. vui.qml (generated) names the frei0r properties.
import QtQuick 2.12
import Shotcut.Controls 1.0 as Shotcut
import "vignette.js" as Vignette

Shotcut.VuiBase {
    id: vui

    property string typeProperty
    property string xProperty
    property string yProperty
    property string widthProperty
    property string heightProperty
    property string angleProperty
    property string featherProperty
    property string opacityProperty

    // Screen pixels per frame pixel, and the frame's top-left corner on screen, as the player
    // shows it (fitted, zoomed and scrolled).
    property real zoom: video.zoom > 0 ? video.zoom : 1
    property real screenScale: video.rect.width * zoom / profile.width
    property real frameLeft: video.rect.x - video.offset.x + video.rect.width * (1 - zoom) / 2
    property real frameTop: video.rect.y - video.offset.y + video.rect.height * (1 - zoom) / 2

    property int heldHandle: -1
    property var press: null

    function getPosition() {
        return Math.max(producer.position - (filter.in - producer.in), 0);
    }

    // The handles answer only where the panel's sliders would: not between simple keyframes.
    function editable() {
        var position = getPosition();
        return filter.get('disable') !== '1' && (position <= 0 || (position >= filter.animateIn - 1 && position <= filter.duration - filter.animateOut) || position >= filter.duration - 1);
    }

    function currentShape() {
        var position = getPosition();
        return Vignette.shapeFromValues({
            type: filter.get(typeProperty),
            x: filter.getDouble(xProperty, position),
            y: filter.getDouble(yProperty, position),
            width: filter.getDouble(widthProperty, position),
            height: filter.getDouble(heightProperty, position),
            angle: filter.getDouble(angleProperty, position),
            feather: filter.getDouble(featherProperty, position),
            opacity: filter.getDouble(opacityProperty, position)
        }, profile.width, profile.height);
    }

    // A value as the panel's slider would write it: at the playhead when the control has
    // keyframes, into the four simple keyframes when fades are set, else for the whole clip.
    // A value for the whole clip is written as text with every digit (MLT saves a number to
    // six); a keyframe as a number, as the panel writes it (text would make it a step).
    function setValue(name, value) {
        var position = getPosition();
        if (filter.animateIn > 0 || filter.animateOut > 0) {
            var start = filter.getDouble(name, 0);
            var middle = filter.getDouble(name, filter.animateIn > 0 ? filter.animateIn - 1 : filter.duration - filter.animateOut);
            var end = filter.getDouble(name, filter.duration - 1);
            if (position <= 0 && filter.animateIn > 0)
                start = value;
            else if (position >= filter.duration - 1 && filter.animateOut > 0)
                end = value;
            else
                middle = value;
            filter.resetProperty(name);
            if (filter.animateIn > 0) {
                filter.set(name, start, 0);
                filter.set(name, middle, filter.animateIn - 1);
            }
            if (filter.animateOut > 0) {
                filter.set(name, middle, filter.duration - filter.animateOut);
                filter.set(name, end, filter.duration - 1);
            }
        } else if (filter.keyframeCount(name) > 0) {
            filter.set(name, value, position);
        } else {
            filter.set(name, String(value));
        }
    }

    function applyDrag(frameX, frameY) {
        var values = Vignette.valuesFromDrag(Vignette.drag(currentShape(), heldHandle, frameX, frameY, screenScale, press),
                                             profile.width, profile.height);
        var names = {x: xProperty, y: yProperty, width: widthProperty, height: heightProperty,
                     angle: angleProperty, feather: featherProperty, opacity: opacityProperty};
        for (var key in values)
            setValue(names[key], values[key]);
    }

    function toFrame(mouse) {
        return {x: (mouse.x - frameLeft) / screenScale, y: (mouse.y - frameTop) / screenScale};
    }

    Component.onCompleted: application.showStatusMessage(qsTr('Drag the corners to size the vignette, the circles for Feather, the handle above the centre to turn it, the knob on the left for Opacity, the centre to move it'))

    Canvas {
        id: canvas

        anchors.fill: parent
        onPaint: {
            var ctx = getContext('2d');
            ctx.reset();
            if (filter.get('disable') === '1' || profile.width <= 0)
                return;
            var shape = currentShape();
            var s = screenScale;
            function sx(p) { return frameLeft + p.x * s; }
            function sy(p) { return frameTop + p.y * s; }
            function polygon(points) {
                ctx.moveTo(sx(points[0]), sy(points[0]));
                for (var i = 1; i < points.length; ++i)
                    ctx.lineTo(sx(points[i]), sy(points[i]));
                ctx.closePath();
            }
            function outlines() {
                ctx.beginPath();
                polygon(Vignette.outlineCorners(shape));
                if (!shape.rectangle)
                    polygon(Vignette.ellipsePoints(shape, shape.width / 2, shape.height / 2, 96));
                ctx.stroke();
                // The feather's inner edge, dashed: the band between it and the outline fades.
                ctx.setLineDash([4, 4]);
                ctx.beginPath();
                if (shape.rectangle)
                    polygon(Vignette.featherCorners(shape));
                else
                    polygon(Vignette.ellipsePoints(shape, Math.abs(shape.width / 2 - shape.feather), Math.abs(shape.height / 2 - Vignette.featherInsetY(shape)), 96));
                ctx.stroke();
                ctx.setLineDash([]);
            }
            function handleMarks() {
                var h = Vignette.handles(shape, profile.height, s);
                ctx.beginPath();
                for (var i = 0; i < 4; ++i)
                    ctx.rect(sx(h[i]) - 4, sy(h[i]) - 4, 8, 8);
                ctx.moveTo(sx(shape) - 6, sy(shape));
                ctx.lineTo(sx(shape) + 6, sy(shape));
                ctx.moveTo(sx(shape), sy(shape) - 6);
                ctx.lineTo(sx(shape), sy(shape) + 6);
                ctx.moveTo(sx(shape), sy(shape));
                ctx.lineTo(sx(h[4]), sy(h[4]));
                ctx.moveTo(sx(h[4]) + 6, sy(h[4]));
                ctx.arc(sx(h[4]), sy(h[4]), 6, 0, 2 * Math.PI);
                for (var f = 5; f < 9; ++f) {
                    ctx.moveTo(sx(h[f]) + 4, sy(h[f]));
                    ctx.arc(sx(h[f]), sy(h[f]), 4, 0, 2 * Math.PI);
                }
                var trackX = sx(shape) - Vignette.kOpacityTrackOffsetX;
                ctx.moveTo(trackX, sy(shape) - Vignette.kOpacityTrackHalfLength);
                ctx.lineTo(trackX, sy(shape) + Vignette.kOpacityTrackHalfLength);
                ctx.rect(trackX - 5, sy(h[9]) - 2, 11, 4);
                ctx.stroke();
            }
            // Light lines over a dark shadow, seen on any picture.
            ctx.lineWidth = 1;
            ctx.translate(1, 1);
            ctx.strokeStyle = 'rgba(0, 0, 0, 0.7)';
            outlines();
            handleMarks();
            ctx.translate(-1, -1);
            ctx.strokeStyle = heldHandle >= 0 ? '#ffe066' : '#ffffff';
            outlines();
            handleMarks();
        }
    }

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.LeftButton
        onPressed: {
            var p = toFrame(mouse);
            var shape = currentShape();
            heldHandle = editable() ? Vignette.handleAt(shape, profile.height, screenScale, p.x, p.y) : -1;
            if (heldHandle < 0) {
                mouse.accepted = false;
                return;
            }
            press = {x: p.x, y: p.y, shapeX: shape.x, shapeY: shape.y};
            canvas.requestPaint();
        }
        onPositionChanged: {
            var p = toFrame(mouse);
            if (pressed && heldHandle >= 0) {
                applyDrag(p.x, p.y);
                return;
            }
            var over = editable() ? Vignette.handleAt(currentShape(), profile.height, screenScale, p.x, p.y) : -1;
            cursorShape = over === Vignette.kCentre ? Qt.SizeAllCursor : over > 0 ? Qt.PointingHandCursor : Qt.ArrowCursor;
        }
        onReleased: {
            if (heldHandle >= 0) {
                var p = toFrame(mouse);
                applyDrag(p.x, p.y);
            }
            heldHandle = -1;
            press = null;
            canvas.requestPaint();
        }
    }

    Connections {
        function onChanged() { canvas.requestPaint(); }
        function onPropertyChanged(name) { canvas.requestPaint(); }

        target: filter
    }

    Connections {
        function onPositionChanged() { canvas.requestPaint(); }

        target: producer
    }

    Connections {
        function onRectChanged() { canvas.requestPaint(); }
        function onZoomChanged() { canvas.requestPaint(); }
        function onOffsetChanged() { canvas.requestPaint(); }

        target: video
    }
}
