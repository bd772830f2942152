// Quillmark's start: the command line, the application, then the start sequence and the message loop.
#include <cstdio>
#include <string>
#include <vector>

#include "app/ApplicationSetup.h"
#include "app/ErrorBox.h"
#include "app/MainWindow.h"
#include "app/ProgramArguments.h"
#include "app/StartSequence.h"

int main(int argc, char** argv) {
  // --help and --version answer before the toolkit starts, so without a display.
  const qm::TProgramArguments early = qm::ReadProgramArguments({argv + 1, argv + argc});
  if (early.Request == qm::TProgramRequest::Help || early.Request == qm::TProgramRequest::Version)
    return qm::AnswerWithoutWindow(early, stdout, stderr);
  // The toolkit takes its own options out of argv; the rest is ours.
  qm::TQuillmarkApplication app(argc, argv);
  const qm::TProgramArguments arguments = qm::ReadProgramArguments({argv + 1, argv + argc});
  if (arguments.Request != qm::TProgramRequest::Run) return qm::AnswerWithoutWindow(arguments, stdout, stderr);
  qm::SetUpApplication(app);
  qm::TForm1 form;
  qm::StartProgram(form, arguments.Script);
  return QApplication::exec();
}
