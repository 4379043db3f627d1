// The real program under SIGTERM (what a logout or systemctl sends): it closes as
// its window does, writing its files, and ends normally.
#include "shell/settings_record.h"
#include "support/pty_pair.h"
#include "support/qt_wait.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Starts the real program offscreen with its data folder under `home`, and waits
// until its start-up sequence runs.
void StartProgram(QProcess &program, const TempFolder &home, const std::string &folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", QString::fromStdString(home.Path()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(CORVELLA_BINARY, {});
    ASSERT_TRUE(program.waitForStarted(10000));
    // The document icon is the first thing the start-up sequence writes.
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(folder + "file.ico"); }, 20000));
}

TEST(ShutdownSignal, TermWritesSettingsLayoutAndSendTextThenExitsNormally)
{
    TempFolder home;
    setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
    const std::string folder = DataFolder();
    std::filesystem::create_directories(folder);
    // Text the program has in its send window but has not written in its own form.
    std::ofstream(folder + "send") << "01 03 00 00 00 01 prepared\n";

    QProcess program;
    StartProgram(program, home, folder);

    ::kill(pid_t(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    EXPECT_EQ(std::filesystem::file_size(folder + "data"), 1528u);
    EXPECT_TRUE(std::filesystem::exists(folder + "config.ini"));
    const std::string send = ReadFile(folder + "send");
    EXPECT_EQ(send.rfind("{\\rtf", 0), 0u) << send;
    EXPECT_NE(send.find("01 03 00 00 00 01 prepared"), std::string::npos) << send;
}

// A file that cannot be written makes the close ask first; nobody answers a
// signal's close, so the program stays with its data until a second signal.
TEST(ShutdownSignal, AFailedFileKeepsTheProgramOpenUntilASecondSignal)
{
    TempFolder home;
    setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
    const std::string folder = DataFolder();
    std::filesystem::create_directories(folder + "config.ini"); // can never be replaced

    QProcess program;
    StartProgram(program, home, folder);
    ::kill(pid_t(program.processId()), SIGTERM);
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(folder + "send"); }, 20000));
    EXPECT_FALSE(program.waitForFinished(1000)) << "the question is open, nothing is lost yet";
    EXPECT_EQ(std::filesystem::file_size(folder + "data"), 1528u);

    ::kill(pid_t(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 128 + SIGTERM);
}

} // namespace
