// Pen-setting XML export and import through the system's XmlLite reader and writer
// ("xmllite.dll", loaded when first needed). The document's form is in pen_xml_fields.h.
//
// Every failing step is reported through ShowUserMessage with the caption "警告" and the
// warning icon, its text the step's name followed by "失敗" ("SetOutput失敗"); a document whose
// first element is not "DotwrightPenSetting" is reported as "It is not an xml file for
// Dotwright." with the caption "error" and the warning icon.
#pragma once

#include <filesystem>

#include "brush/pen_setting.h"

struct PenXmlFolders {
  std::filesystem::path program;   // relative export names are resolved against it
  std::filesystem::path pictures;  // the user's Pictures folder; empty: stamp paths stay as they are
};

// The folder of the running program and the user's Pictures known folder (empty when the
// system cannot say).
PenXmlFolders SystemPenXmlFolders();

// Writes pen to fileName (relative names are taken in folders.program). The document is built
// in memory and the file replaced only when all of it has been written: after a failure the
// old file is as it was. A stamp path inside folders.pictures is written with the Pictures
// token. Returns true when the file was written.
bool ExportPenSetting(const PenSetting& pen, const std::filesystem::path& fileName, const PenXmlFolders& folders);

// Reads the file at path into pen: fields whose elements are present are overwritten, the
// others keep their values; the stamp path keeps the Pictures token (see
// RestorePicturesFolder). Returns 1 when the document was read to its end or to the first
// error after its root element (fields read until then keep their new values), 0 when the
// file cannot be opened, holds no "DotwrightPenSetting" root element, or a step fails.
int ImportPenSetting(PenSetting& pen, const std::filesystem::path& path);
