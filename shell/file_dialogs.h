// The main window's side of the file commands: the question before unsaved changes go, the
// system's open and save dialogs, error boxes and the wait cursor.
#pragma once

#include <windows.h>

#include "app/file_commands.h"

struct MainWindow;

class WindowFileHost final : public FileCommandHost {
 public:
  explicit WindowFileHost(MainWindow& window) : w_(window) {}
  SaveAnswer AskToSave() override;
  bool ChooseFile(FileDialog dialog, std::filesystem::path& path) override;
  void Report(FileCommandFailure failure, const std::filesystem::path& path, int32_t detail) override;
  LocalTime Now() override;
  void Wait(bool on) override;

 private:
  MainWindow& w_;
};
