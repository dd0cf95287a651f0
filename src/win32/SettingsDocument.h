// config.xml, the settings file beside the program, read and written through
// the system's XML document component. One object serves one read or one
// write and is then dropped; nothing of the document is kept between them.
#pragma once

#include "win32/Win32Handles.h"

#include <windows.h>
#include <msxml2.h>

#include <string>
#include <utility>
#include <vector>

// The settings file: the program folder and "\config.xml".
std::string SettingsFilePath();

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
