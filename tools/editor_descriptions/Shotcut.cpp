// Shotcut's filter folder: meta.qml (what the filter is, which properties take keyframes),
// ui.qml (the panel) and vui.qml (the handles over the player). Properties are the frei0r indices, as Shotcut's own frei0r filters
// name them. The panel is Shotcut's KeyframableFilter with one row a control: a slider with
// its keyframe button for the numbers that may change in time, a combo box of the registered
// labels for a choice, a colour picker and a check box.
#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "Controls.h"
#include "Markup.h"

namespace qxv::editors {

namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string Property(const Control& control) { return Quoted(std::to_string(control.index)); }
std::string Id(const Control& control) { return "control" + std::to_string(control.index); }

template <class Format>
std::string List(const std::vector<Control>& controls, bool keyframed_only, Format format) {
    std::string text = "[";
    bool first = true;
    for (const Control& control : controls) {
        if (keyframed_only && !control.keyframes) continue;
        text += (first ? "" : ", ") + format(control);
        first = false;
    }
    return text + "]";
}

}  // namespace

std::string ShotcutMeta(const Effect& effect) {
    std::ostringstream qml;
    qml << "import QtQuick 2.0\nimport org.shotcut.qml 1.0\n\n"
        << "Metadata {\n"
        << "    type: Metadata.Filter\n"
        << "    name: " << Quoted(effect.name) << "\n"
        << "    keywords: " << Quoted("vignette darken edges corners ellipse rectangle mask feather " + effect.name)
        << "\n"
        << "    objectName: 'qx_vignette'\n"
        << "    mlt_service: " << Quoted(effect.service) << "\n"
        << "    qml: 'ui.qml'\n"
        << "    vui: 'vui.qml'\n\n"
        << "    keyframes {\n"
        << "        allowAnimateIn: true\n"
        << "        allowAnimateOut: true\n"
        << "        simpleProperties: " << List(effect.controls, true, Property) << "\n"
        << "        parameters: [";
    bool first = true;
    for (const Control& control : effect.controls) {
        if (!control.keyframes) continue;
        qml << (first ? "" : ",") << "\n"
            << "            Parameter {\n"
            << "                name: " << Quoted(control.label) << "\n"
            << "                property: " << Property(control) << "\n"
            << "                isCurve: true\n"
            << "                minimum: " << Number(control.min / control.factor) << "\n"
            << "                maximum: " << Number(control.max / control.factor) << "\n"
            << "            }";
        first = false;
    }
    qml << "\n        ]\n    }\n}\n";
    return qml.str();
}

std::string ShotcutUi(const Effect& effect) {
    const auto& controls = effect.controls;
    std::ostringstream qml;
    qml << "import QtQuick 2.12\nimport QtQuick.Controls 2.12\nimport QtQuick.Layouts 1.12\n"
        << "import Shotcut.Controls 1.0 as Shotcut\n\n"
        << "Shotcut.KeyframableFilter {\n"
        << "    id: panel\n\n";
    auto default_number = [](const Control& c) { return c.default_value; };
    qml << "    keyframableParameters: " << List(controls, true, Property) << "\n"
        << "    startValues: " << List(controls, true, default_number) << "\n"
        << "    middleValues: " << List(controls, true, default_number) << "\n"
        << "    endValues: " << List(controls, true, default_number) << "\n"
        << "    width: 400\n    height: " << 60 + 34 * controls.size() << "\n\n";

    // A choice is saved as its label; a number (1-based) or another letter case is read too,
    // as the module takes them.
    qml << "    function choiceIndex(combo, text) {\n"
        << "        for (var i = 0; i < combo.model.length; ++i)\n"
        << "            if (combo.model[i].toLowerCase() === String(text).toLowerCase())\n"
        << "                return i;\n"
        << "        var number = parseInt(text);\n"
        << "        return number >= 1 && number <= combo.model.length ? number - 1 : 0;\n"
        << "    }\n\n";

    qml << "    function setControls() {\n"
        << "        var position = getPosition();\n"
        << "        blockUpdate = true;\n";
    for (const Control& c : controls) {
        const std::string id = Id(c), property = Property(c);
        switch (c.kind) {
            case ControlKind::kNumber:
                qml << "        " << id << ".value = filter.getDouble(" << property << (c.keyframes ? ", position" : "")
                    << ") * " << Number(c.factor) << ";\n";
                if (c.keyframes) {
                    qml << "        " << id << "Keyframes.checked = filter.animateIn <= 0 && filter.animateOut <= 0 && "
                        << "filter.keyframeCount(" << property << ") > 0;\n";
                }
                break;
            case ControlKind::kChoice:
                qml << "        " << id << ".currentIndex = choiceIndex(" << id << ", filter.get(" << property << "));\n";
                break;
            case ControlKind::kColor: qml << "        " << id << ".value = filter.get(" << property << ");\n"; break;
            case ControlKind::kSwitch:
                qml << "        " << id << ".checked = filter.getDouble(" << property << ") >= 0.5;\n";
                break;
        }
    }
    qml << "        blockUpdate = false;\n"
        << "        enableControls(isSimpleKeyframesActive());\n"
        << "    }\n\n";

    qml << "    function enableControls(enabled) {\n";
    for (const Control& c : controls) {
        if (c.keyframes) qml << "        " << Id(c) << ".enabled = enabled;\n";
    }
    qml << "    }\n\n";

    qml << "    function updateSimpleKeyframes() {\n";
    for (const Control& c : controls) {
        if (c.keyframes) {
            qml << "        updateFilter(" << Property(c) << ", " << Id(c) << ".value / " << Number(c.factor) << ", "
                << Id(c) << "Keyframes, null);\n";
        }
    }
    qml << "    }\n\n";

    // A new filter starts from the module's defaults, written as text so that every digit
    // survives into the project.
    qml << "    Component.onCompleted: {\n"
        << "        if (filter.isNew) {\n";
    for (const Control& c : controls) {
        qml << "            filter.set(" << Property(c) << ", " << Quoted(c.default_value) << ");\n";
    }
    qml << "            filter.savePreset(preset.parameters);\n"
        << "        }\n"
        << "        setControls();\n"
        << "    }\n\n";

    qml << "    GridLayout {\n"
        << "        anchors.fill: parent\n"
        << "        anchors.margins: 8\n"
        << "        columns: 4\n\n"
        << "        Label {\n"
        << "            text: qsTr('Preset')\n"
        << "            Layout.alignment: Qt.AlignRight\n"
        << "        }\n\n"
        << "        Shotcut.Preset {\n"
        << "            id: preset\n\n"
        << "            parameters: " << List(controls, false, Property) << "\n"
        << "            Layout.columnSpan: 3\n"
        << "            onBeforePresetLoaded: resetSimpleKeyframes()\n"
        << "            onPresetSelected: {\n"
        << "                setControls();\n"
        << "                initializeSimpleKeyframes();\n"
        << "            }\n"
        << "        }\n";

    for (const Control& c : controls) {
        const std::string id = Id(c), property = Property(c);
        qml << "\n        Label {\n"
            << "            text: " << Quoted(c.label) << "\n"
            << "            Layout.alignment: Qt.AlignRight\n"
            << "        }\n\n";
        std::string undo;
        switch (c.kind) {
            case ControlKind::kNumber:
                qml << "        Shotcut.SliderSpinner {\n"
                    << "            id: " << id << "\n\n"
                    << "            minimumValue: " << Number(c.min) << "\n"
                    << "            maximumValue: " << Number(c.max) << "\n"
                    << "            decimals: " << c.decimals << "\n"
                    << "            suffix: " << Quoted(c.suffix) << "\n";
                if (c.keyframes) {
                    qml << "            onValueChanged: updateFilter(" << property << ", value / " << Number(c.factor)
                        << ", " << id << "Keyframes, getPosition())\n";
                } else {
                    qml << "            onValueChanged: if (!blockUpdate) filter.set(" << property << ", value / "
                        << Number(c.factor) << ")\n";
                }
                qml << "        }\n";
                // Undo writes the default as text, every digit of it.
                undo = c.keyframes ? "{ " + id + ".value = " + c.default_value + " * " + Number(c.factor) + "; }"
                                   : "{ filter.set(" + property + ", " + Quoted(c.default_value) + "); setControls(); }";
                break;
            case ControlKind::kChoice: {
                std::string model = "[";
                for (std::size_t i = 0; i < c.choices.size(); ++i) model += (i ? ", " : "") + Quoted(c.choices[i]);
                model += "]";
                qml << "        Shotcut.ComboBox {\n"
                    << "            id: " << id << "\n\n"
                    << "            implicitWidth: 200\n"
                    << "            model: " << model << "\n"
                    << "            onActivated: filter.set(" << property << ", model[currentIndex])\n"
                    << "        }\n";
                undo = "{ filter.set(" + property + ", " + Quoted(c.default_value) + "); setControls(); }";
                break;
            }
            case ControlKind::kColor:
                qml << "        Shotcut.ColorPicker {\n"
                    << "            id: " << id << "\n\n"
                    << "            onValueChanged: if (!blockUpdate) filter.set(" << property << ", value)\n"
                    << "        }\n";
                undo = "{ filter.set(" + property + ", " + Quoted(c.default_value) + "); setControls(); }";
                break;
            case ControlKind::kSwitch:
                qml << "        CheckBox {\n"
                    << "            id: " << id << "\n\n"
                    << "            onClicked: filter.set(" << property << ", checked ? 1 : 0)\n"
                    << "        }\n";
                undo = "{ filter.set(" + property + ", " + Quoted(c.default_value) + "); setControls(); }";
                break;
        }
        qml << "\n        Shotcut.UndoButton {\n";
        if (!c.keyframes) qml << "            Layout.columnSpan: 2\n";
        qml << "            onClicked: " << undo << "\n"
            << "        }\n";
        if (c.keyframes) {
            qml << "\n        Shotcut.KeyframesButton {\n"
                << "            id: " << id << "Keyframes\n\n"
                << "            onToggled: {\n"
                << "                enableControls(true);\n"
                << "                toggleKeyframes(checked, " << property << ", " << id << ".value / " << Number(c.factor)
                << ");\n"
                << "            }\n"
                << "        }\n";
        }
    }
    qml << "\n        Item {\n            Layout.fillHeight: true\n        }\n    }\n\n";

    qml << "    Connections {\n"
        << "        function onChanged() { setControls(); }\n"
        << "        function onInChanged() { updateSimpleKeyframes(); }\n"
        << "        function onOutChanged() { updateSimpleKeyframes(); }\n"
        << "        function onAnimateInChanged() { updateSimpleKeyframes(); }\n"
        << "        function onAnimateOutChanged() { updateSimpleKeyframes(); }\n"
        << "        function onPropertyChanged(name) { setControls(); }\n\n"
        << "        target: filter\n"
        << "    }\n\n"
        << "    Connections {\n"
        << "        function onPositionChanged() { setControls(); }\n\n"
        << "        target: producer\n"
        << "    }\n"
        << "}\n";
    return qml.str();
}

// The handles are VignetteVui.qml's (installed beside it, with vignette.js, from
// tools/editor_descriptions/shotcut/); this file tells it which frei0r property holds each
// value they read and write.
std::string ShotcutVui(const Effect& effect) {
    const auto property_of = [&effect](const std::string& name) {
        for (const Control& control : effect.controls) {
            if (control.name == name) return Property(control);
        }
        throw std::runtime_error("the handles need a parameter \"" + name + "\", which the module does not offer");
    };
    const char* const roles[][2] = {{"typeProperty", "Vignette Type"}, {"xProperty", "Point of origin X"},
                                    {"yProperty", "Point of origin Y"}, {"widthProperty", "Width"},
                                    {"heightProperty", "Height"},      {"angleProperty", "Angle"},
                                    {"featherProperty", "Feather"},    {"opacityProperty", "Opacity"}};
    std::ostringstream qml;
    qml << "import QtQuick 2.12\n\nVignetteVui {\n";
    for (const auto& role : roles) qml << "    " << role[0] << ": " << property_of(role[1]) << "\n";
    qml << "}\n";
    return qml.str();
}

}  // namespace qxv::editors
