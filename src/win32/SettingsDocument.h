// config.xml, the settings file beside the program, read and written through
// the system's XML document component. One object serves one read or one
// write and is then dropped; nothing of the document is kept between them.
// Names, values and the path are the program's UTF-8 texts; the document
// holds them as UTF-16, and they pass between the two unit for unit.
#pragma once

#include "win32/Win32Handles.h"

#include <windows.h>
#include <msxml2.h>

#include <string>
#include <utility>
#include <vector>

// The settings file: the program folder and "\config.xml".
std::string SettingsFilePath();

// The elements of config.xml that hold the program's settings, for the pages
// and the command-line runs alike.
constexpr const char* kTaskListElement = "/config/quorvane/cleanersearchtasklist";
constexpr const char* kSearchOptionsElement = "/config/quorvane/searchpage/options";
constexpr const char* kSearchRangeElement = "/config/quorvane/searchpage/searchrange";
constexpr const char* kSearchKeywordElement = "/config/quorvane/searchpage/searchkeyword";

class SettingsDocument {
public:
    SettingsDocument() = default;
    SettingsDocument(const SettingsDocument&) = delete;
    SettingsDocument& operator=(const SettingsDocument&) = delete;

    // Loads the whole file; the path is kept only when loading succeeded.
    void Open(const std::string& path);
    bool IsLoaded() const { return !path_.empty(); }
    // The first element at an absolute path such as "/config/quorvane/x"; none
    // when nothing is loaded or nothing matches.
    ComPtr<IXMLDOMElement> SelectNode(const std::string& elementPath) const;
    // The attribute's text; empty when it, the element or the file is missing.
    std::string GetAttribute(IXMLDOMElement* element, const std::string& name) const;
    // Sets (or adds) the attribute on an existing element of a loaded file.
    bool SetAttribute(IXMLDOMElement* element, const std::string& name, const std::string& value);
    // True when the element carries the attribute, even with an empty value.
    bool HasAttribute(IXMLDOMElement* element, const std::string& name) const;
    // The child elements of parent named `name`, in document order; none when
    // parent is none or nothing is loaded.
    std::vector<ComPtr<IXMLDOMElement>> ChildElements(IXMLDOMElement* parent,
                                                      const std::string& name) const;
    // Appends a new element with the attributes, in their order, as the last
    // child element of parent. When the file is laid out in indented lines,
    // the new element gets a line of its own, indented one step deeper than
    // parent. None when nothing is loaded or the element cannot be added.
    ComPtr<IXMLDOMElement> AppendElement(
        IXMLDOMElement* parent, const std::string& name,
        const std::vector<std::pair<std::string, std::string>>& attributes);
    // Removes a child element of parent together with the line break and
    // indentation before it.
    bool RemoveElement(IXMLDOMElement* parent, IXMLDOMElement* child);
    // Writes the document back to the file it was loaded from.
    bool Save();

private:
    ComPtr<IXMLDOMDocument> document_;
    std::string path_;
};

// Reads one attribute ("custom" or "default") of each element, in order;
// missing ones read as empty texts.
std::vector<std::string> ReadSettings(const std::vector<std::string>& elementPaths,
                                      const std::string& attribute);

// Writes the "custom" attribute of each element and saves the file. Elements
// that do not exist are not created; a missing file is not created.
void WriteSettings(const std::vector<std::pair<std::string, std::string>>& customValues);
