// The words the program shows for the failures the core reports. The core returns reasons (an
// enum or false/null) and never picks a text; the Windows program, the command-line tool and the
// stroke scripts turn reasons into these texts. Every function returns the exact English text
// shown today, or null where that failure is silent.
#pragma once

#include <filesystem>
#include <string>

#include "app/file_commands.h"
#include "files/bmp_reader.h"
#include "files/canvas_png.h"
#include "files/pen_xml_fields.h"
#include "files/psd_export.h"
#include "reduce/gpu_engine.h"
#include "reduce/view_samplers.h"
#include "settings/binding_matrix.h"

// A short English reason for a refused BMP file ("not a BMP file"); null for kNone.
const char* BmpFailureText(BmpFailure failure);

// The message box text for a failed PSD export (caption "Dotwright", error icon); null for kNone.
const char* PsdExportText(PsdExportFailure failure);

// Shown (caption "Dotwright", error icon) when the view could not create the off-screen bitmap a
// composed picture is rendered into (WriteComposedPicture was handed null).
inline constexpr const char* kNoViewScreenText = "Can not create view.screen";

// The message box text for a failed deflate stream while a canvas file was written (caption
// "Dotwright", error icon): zlib's error number for a failed start, else the row number, in
// decimal. Empty where the failure is silent.
std::string CanvasWriteText(const CanvasPngWriteFailure& failure);

// Shown (caption "Dotwright", error icon) when SaveSettings failed: "Cannot save the settings
// file: " and the file's path in UTF-8.
std::string SettingsSaveText(const std::filesystem::path& settingsFile);

// Shown (caption "Dotwright", error icon) for each collision FillBindingMatrix returns:
// "collision: num=N ,fVirt=F ,vk_index=K ,cmd=C", all four in decimal.
std::string BindingCollisionText(const BindingCollision& collision);

// Shown (caption "Dotwright", stop icon) when the OpenCL engine could not be set up because its
// runtime is missing: "<runtime> is not found." ("OpenCL.dll is not found." on Windows), the
// runtime named by GpuRuntimeName(options). Empty where the failure is silent.
std::string GpuSetUpText(GpuSetUpFailure failure, const GpuEngineOptions& options);

// Shown (caption "Dotwright", stop icon) when a recomposition could not create the picture of a
// magnified or one-to-one view; null where the failure is silent.
const char* RecomposeText(RecomposeFailure failure);

// Shown (caption "Dotwright", stop icon) when the update thread reports a failed sampler
// (TakeSamplerFailure).
inline constexpr const char* kSamplerFailedText = "failed";

// A message with its own caption (UTF-8), shown with the warning icon.
struct CaptionedText {
  std::string text;
  const char* caption;
};

// What a failed pen-setting export or import shows: the failed step's name followed by "失敗"
// under the caption "警告" ("SetOutput失敗"), or "It is not an xml file for Dotwright." under the
// caption "error" for a document that is not a pen setting. Empty text for kNone.
CaptionedText PenXmlText(PenXmlFailure failure);

// Why a canvas file could not be loaded, one English line without a final full stop ("the file
// is truncated"); null for kNone.
const char* CanvasLoadText(CanvasLoadFailure failure);

// The message box text (caption "Dotwright", error icon) for a file command that stopped, with
// the file or folder concerned in UTF-8; detail is the PsdExportFailure of a failed PSD export
// or the CanvasLoadFailure of a file that did not open (0: the reason is not known).
// kNotAFolder gives the path alone: the window shows its language string first.
std::string FileCommandText(FileCommandFailure failure, const std::filesystem::path& path, int32_t detail);
