// The OpenCL engine's set-up. The tests that need an OpenCL platform run on whatever the machine
// has (pocl's CPU device on the build machines, natively and under Wine) and are skipped, saying
// so, where there is none.
#include "reduce/gpu_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reduce/gpu_test_support.h"
#include "settings/settings_test_support.h"

namespace {

#ifdef _WIN32
constexpr const char* kMissingRuntime = "DotwrightNoSuchOpenCL.dll";
#else
constexpr const char* kMissingRuntime = "libDotwrightNoSuchOpenCL.so.1";
#endif

GpuEngineOptions TestOptions(const std::filesystem::path& folder, const std::filesystem::path& log) {
  return {GpuDeviceKind::kAny, nullptr, folder, log};
}

TEST(GpuEngineSetUp, TheProgramAsksForTheGpuOfThePlatformsRuntime) {
  GpuEngineOptions o = ProgramGpuEngineOptions("folder");
  EXPECT_EQ(o.device, GpuDeviceKind::kGpu);
  EXPECT_EQ(o.libraryName, nullptr);
  EXPECT_EQ(o.programFolder, std::filesystem::path("folder"));
  EXPECT_EQ(o.buildLogFile, std::filesystem::path("openclinfo.txt"));
#ifdef _WIN32
  EXPECT_STREQ(DefaultOpenClLibraryName(), "OpenCL.dll");
#else
  EXPECT_STREQ(DefaultOpenClLibraryName(), "libOpenCL.so.1");
#endif
  EXPECT_EQ(ToolGpuEngineOptions("folder").device, GpuDeviceKind::kGpuElseAny);
}

TEST(GpuEngineSetUp, AMissingRuntimeIsReportedOnceAndTurnsTheGpuOff) {
  AppSettings settings{};
  settings.UseGPU = 1;
  GpuEngineOptions o = TestOptions(RunningProgramFolder(), "openclinfo.txt");
  o.libraryName = kMissingRuntime;
  EXPECT_STREQ(GpuRuntimeName(o), kMissingRuntime);
  EXPECT_EQ(StartGpuEngine(settings, o), GpuSetUpFailure::kRuntimeNotFound);
  EXPECT_EQ(settings.UseGPU, 0);
  EXPECT_EQ(settings.gpuActive, 0);
  EXPECT_FALSE(GpuEngineReady());
  EXPECT_NE(std::string(GpuEngineFailure()), "");

  // With the GPU now off, the next start does not try again: nothing to report.
  EXPECT_EQ(StartGpuEngine(settings, o), GpuSetUpFailure::kNone);
  EXPECT_EQ(settings.gpuActive, 0);
}

TEST(GpuEngineSetUp, TheGpuOffDoesNothing) {
  AppSettings settings{};
  settings.UseGPU = 0;
  settings.gpuActive = 1;
  GpuEngineOptions o = TestOptions(RunningProgramFolder(), "openclinfo.txt");
  o.libraryName = kMissingRuntime;
  EXPECT_EQ(StartGpuEngine(settings, o), GpuSetUpFailure::kNone);
  EXPECT_EQ(settings.gpuActive, 0);
}

TEST(GpuEngineSetUp, SetsUpOnTheKernelsBesideTheProgramAndReleases) {
  GPU_TEST_REQUIRE_PLATFORM();
  TempFolder folder("gpu-ok");
  AppSettings settings{};
  settings.UseGPU = 1;
  EXPECT_EQ(StartGpuEngine(settings, TestOptions(RunningProgramFolder(), folder.path / "openclinfo.txt")),
            GpuSetUpFailure::kNone)
      << GpuEngineFailure();
  EXPECT_EQ(settings.UseGPU, 1);
  EXPECT_EQ(settings.gpuActive, 1);
  EXPECT_TRUE(GpuEngineReady());
  EXPECT_NE(std::string(GpuDeviceName()), "");
  EXPECT_STREQ(GpuEngineFailure(), "");
  EXPECT_FALSE(std::filesystem::exists(folder.path / "openclinfo.txt"));
  StopGpuEngine(settings);
  EXPECT_EQ(settings.gpuActive, 0);
  EXPECT_EQ(settings.UseGPU, 1);
  EXPECT_FALSE(GpuEngineReady());
  EXPECT_STREQ(GpuDeviceName(), "");
}

TEST(GpuEngineSetUp, AKernelSyntaxErrorLeavesTheCompilersLogAndTurnsTheGpuOff) {
  GPU_TEST_REQUIRE_PLATFORM();
  TempFolder folder("gpu-syntax");
  WriteAll(folder.path / "crrhfdib.cl",
           "__kernel void CRRHFDIBInit8(__global ulong* a, int w) { a[0] = 0 }\n");  // no semicolon
  WriteAll(folder.path / "openclinfo.txt", "an older log");
  AppSettings settings{};
  settings.UseGPU = 1;
  EXPECT_EQ(StartGpuEngine(settings, TestOptions(folder.path, folder.path / "openclinfo.txt")),
            GpuSetUpFailure::kSetUpFailed);
  EXPECT_EQ(settings.UseGPU, 0);
  EXPECT_FALSE(GpuEngineReady());
  std::string log = ReadAll(folder.path / "openclinfo.txt");
  EXPECT_NE(log.find("error"), std::string::npos) << log;
  EXPECT_EQ(log.find("an older log"), std::string::npos);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), '\n');
}

TEST(GpuEngineSetUp, AMissingKernelFileOrKernelFailsQuietly) {
  GPU_TEST_REQUIRE_PLATFORM();
  TempFolder folder("gpu-missing");
  EXPECT_EQ(InitGpuEngine(TestOptions(folder.path, folder.path / "openclinfo.txt")), GpuSetUpFailure::kSetUpFailed);
  EXPECT_NE(std::string(GpuEngineFailure()).find("crrhfdib.cl"), std::string::npos);

  // A source that builds but lacks the divide kernel: a reduction could not run, so the set-up
  // fails rather than report an engine without kernels.
  WriteAll(folder.path / "crrhfdib.cl",
           "__kernel void CRRHFDIBInit8(__global ulong* a, int w) { a[0] = 0; }\n"
           "__kernel void CRRHFDIBCount8(__global ulong* a) { a[0] = 1; }\n");
  EXPECT_EQ(InitGpuEngine(TestOptions(folder.path, folder.path / "openclinfo.txt")), GpuSetUpFailure::kSetUpFailed);
  EXPECT_NE(std::string(GpuEngineFailure()).find("CRRHFDIBDiv8"), std::string::npos);
  EXPECT_FALSE(GpuEngineReady());
  EXPECT_FALSE(std::filesystem::exists(folder.path / "openclinfo.txt"));
}

TEST(GpuEngineSetUp, OnlyTheFirstMebibyteOfTheKernelFileIsRead) {
  GPU_TEST_REQUIRE_PLATFORM();
  TempFolder folder("gpu-large");
  // The real kernels, a line comment filling the file up to 1 MiB, and a syntax error after
  // it: the error lies beyond what is read.
  std::string source = ReadAll(RunningProgramFolder() / "crrhfdib.cl");
  ASSERT_FALSE(source.empty());
  source += "\n//";
  source.append(static_cast<size_t>(kGpuKernelSourceLimit) - source.size(), 'x');
  source += "\nthis is not OpenCL C\n";
  WriteAll(folder.path / "crrhfdib.cl", source);
  EXPECT_EQ(InitGpuEngine(TestOptions(folder.path, folder.path / "openclinfo.txt")), GpuSetUpFailure::kNone)
      << GpuEngineFailure();
  ReleaseGpuEngine();
}

}  // namespace
