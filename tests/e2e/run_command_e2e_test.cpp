// The README's run command, as a user with a desktop types it: scripts/run.sh installs what is
// missing, builds the program and starts it in a real window.
#include "x_session.h"

#include <gtest/gtest.h>

#include <QFileInfo>

using namespace e2e;

namespace {

const QString kRunCommand = QStringLiteral(DSPLAB_SOURCE_DIR "/scripts/run.sh");
const QString kStartCaption = QStringLiteral(
    " Quorvel Applications                                       DSP Lab for the classroom");

// The run command starts the program of the source tree's own build folder.
bool testingTheRunCommandsProgram()
{
    return QFileInfo(QStringLiteral(DSPLAB_BINARY)).canonicalFilePath()
        == QFileInfo(QStringLiteral(DSPLAB_SOURCE_DIR "/build/bin/dsplab")).canonicalFilePath();
}

class RunCommand : public XServerTest { };

} // namespace

TEST_F(RunCommand, OpensTheStartWindowOnADesktop)
{
    if (!testingTheRunCommandsProgram())
        GTEST_SKIP() << "this build folder is not the one the run command builds";
    RealProgram program(*s_x, RealProgram::Command{kRunCommand, {}});
    // Installing nothing and building nothing when all is there still takes a few seconds.
    const auto start = program.window(kStartCaption, 240000);
    ASSERT_TRUE(start) << program.errors().toStdString();
    EXPECT_FALSE(program.picture(*start).isNull());
}
