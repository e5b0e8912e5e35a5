// Pen-setting XML export and import through the system's XmlLite reader and writer
// ("xmllite.dll", loaded when first needed). The document's form is in pen_xml_fields.h.
//
// Both directions return the step that failed (PenXmlFailure, pen_xml_fields.h) and show
// nothing; the program shows PenXmlText (app/user_texts.h) with the warning icon.
#pragma once

#include <filesystem>

#include "brush/pen_setting.h"
#include "files/pen_xml_fields.h"

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
// token. kNone when the file was written.
[[nodiscard]] PenXmlFailure ExportPenSetting(const PenSetting& pen, const std::filesystem::path& fileName, const PenXmlFolders& folders);

// Reads the file at path into pen: fields whose elements are present are overwritten, the
// others keep their values; the stamp path keeps the Pictures token (see
// RestorePicturesFolder). kNone when the document was read to its end or to the first error
// after its root element (fields read until then keep their new values); otherwise the file
// cannot be opened (kStreamOnFile), holds no "DotwrightPenSetting" root element
// (kNotPenSetting; nothing is changed), or a reader step fails.
[[nodiscard]] PenXmlFailure ImportPenSetting(PenSetting& pen, const std::filesystem::path& path);
