// Kdenlive's effect description: one <parameter> a control. Kdenlive shows a number as the
// MLT value times `factor` between `min` and `max`, and reads `default` in MLT's units; a
// parameter is "animated" when it takes keyframes.
#include <cstdio>
#include <sstream>

#include "Controls.h"
#include "Markup.h"

namespace qxv::editors {

namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

std::string Join(const std::vector<std::string>& items, const char* separator) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) text += (i ? separator : "") + items[i];
    return text;
}

}  // namespace

std::string KdenliveXml(const Effect& effect) {
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\"?>\n<!DOCTYPE kpartgui>\n"
        << "<effect LC_NUMERIC=\"C\" tag=\"" << Escaped(effect.service) << "\" id=\"" << Escaped(effect.service)
        << "\" type=\"video\">\n"
        << "    <name>" << Escaped(effect.name) << "</name>\n"
        << "    <description>" << Escaped(effect.description) << "</description>\n"
        << "    <author>" << Escaped(effect.author) << "</author>\n";
    for (const Control& control : effect.controls) {
        xml << "    <parameter name=\"" << Escaped(control.name) << "\" default=\"" << Escaped(control.default_value)
            << "\"";
        switch (control.kind) {
            case ControlKind::kChoice:
                // Kdenlive splits the values at ';' and the shown names at ',': the registered
                // labels hold neither (checked by the generator's caller).
                xml << " type=\"list\" paramlist=\"" << Escaped(Join(control.choices, ";")) << "\">\n"
                    << "        <paramlistdisplay>" << Escaped(Join(control.choices, ",")) << "</paramlistdisplay>\n";
                break;
            case ControlKind::kNumber:
                xml << " type=\"" << (control.keyframes ? "animated" : "constant") << "\" min=\""
                    << Number(control.min) << "\" max=\"" << Number(control.max) << "\" factor=\""
                    << Number(control.factor) << "\" decimals=\"" << control.decimals << "\"";
                if (!control.suffix.empty()) xml << " suffix=\"" << Escaped(control.suffix) << "\"";
                xml << ">\n";
                break;
            case ControlKind::kColor: xml << " type=\"color\">\n"; break;
            case ControlKind::kSwitch: xml << " type=\"bool\">\n"; break;
        }
        xml << "        <name>" << Escaped(control.label) << "</name>\n    </parameter>\n";
    }
    xml << "</effect>\n";
    return xml.str();
}

}  // namespace qxv::editors
