// The remembered layout in config.xml (see LayoutSettings.h).
#include "win32/LayoutSettings.h"

#include "win32/SettingsDocument.h"

#include <utility>

namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

// Sets the attributes on the element at `elementPath`, adding the element
// below its parent when the file lacks it, and saves the file.
void WriteAttributes(const char* elementPath, const Attributes& attributes)
{
    SettingsDocument document;
    document.Open(SettingsFilePath());
    if (!document.IsLoaded())
        return;
    ComPtr<IXMLDOMElement> element = document.SelectNode(elementPath);
    if (element) {
        for (const auto& attribute : attributes)
            document.SetAttribute(element.Get(), attribute.first, attribute.second);
    } else {
        const std::string path = elementPath;
        const std::size_t slash = path.rfind('/');
        ComPtr<IXMLDOMElement> parent = document.SelectNode(path.substr(0, slash));
        if (!parent || !document.AppendElement(parent.Get(), path.substr(slash + 1), attributes))
            return;
    }
    document.Save();
}

} // namespace

WindowLayout ReadWindowLayout()
{
    SettingsDocument document;
    document.Open(SettingsFilePath());
    ComPtr<IXMLDOMElement> element = document.SelectNode(kWindowElement);
    WindowLayoutTexts texts;
    texts.left = document.GetAttribute(element.Get(), "left");
    texts.top = document.GetAttribute(element.Get(), "top");
    texts.width = document.GetAttribute(element.Get(), "width");
    texts.height = document.GetAttribute(element.Get(), "height");
    texts.maximised = document.GetAttribute(element.Get(), "maximised");
    texts.splitter = document.GetAttribute(element.Get(), "splitter");
    texts.dpi = document.GetAttribute(element.Get(), "dpi");
    return DecodeWindowLayout(texts);
}

void WriteWindowLayout(const WindowLayout& layout)
{
    const WindowLayoutTexts texts = EncodeWindowLayout(layout);
    WriteAttributes(kWindowElement, {{"left", texts.left},
                                     {"top", texts.top},
                                     {"width", texts.width},
                                     {"height", texts.height},
                                     {"maximised", texts.maximised},
                                     {"splitter", texts.splitter},
                                     {"dpi", texts.dpi}});
}

ColumnLayout ReadColumnLayout(const char* elementPath)
{
    SettingsDocument document;
    document.Open(SettingsFilePath());
    ComPtr<IXMLDOMElement> element = document.SelectNode(elementPath);
    ColumnLayout layout;
    layout.widths = ParseLengthList(document.GetAttribute(element.Get(), "columns"));
    if (!ParseLength(document.GetAttribute(element.Get(), "listwidth"), layout.listWidth) || layout.listWidth < 0)
        layout.listWidth = 0;
    return layout;
}

void WriteColumnLayout(const char* elementPath, const ColumnLayout& layout)
{
    if (layout.widths.empty())
        return;
    WriteAttributes(elementPath,
                    {{"columns", FormatLengthList(layout.widths)}, {"listwidth", std::to_string(layout.listWidth)}});
}
