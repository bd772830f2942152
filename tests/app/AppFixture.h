// The fixture of the application tests: a temporary current directory holding data/, and a temporary configuration folder.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/DataFolder.h"
#include "app/ErrorBox.h"

// Places and sizes of windows as gtest prints them.
inline void PrintTo(const QPoint& p, std::ostream* os) { *os << "(" << p.x() << ", " << p.y() << ")"; }
inline void PrintTo(const QSize& s, std::ostream* os) { *os << s.width() << " x " << s.height(); }
inline void PrintTo(const QRect& r, std::ostream* os) {
  *os << r.width() << " x " << r.height() << " at (" << r.x() << ", " << r.y() << ")";
}

namespace qm {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A temporary current directory holding data/, a temporary configuration
// folder and a temporary data home (for the user's own items).
class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(work.isValid());
    ASSERT_TRUE(config.isValid());
    ASSERT_TRUE(userData.isValid());
    previous = QDir::currentPath();
    QDir::setCurrent(work.path());
    QDir().mkpath("data");
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    setenv("XDG_DATA_HOME", userData.path().toLocal8Bit().constData(), 1);
    SetErrorBoxDisplay([this](const std::string& message) { errors.push_back(message); });
    SetWarningBoxDisplay([this](const std::string& message) { warnings.push_back(message); });
  }
  void TearDown() override {
    SetErrorBoxDisplay(nullptr);
    SetWarningBoxDisplay(nullptr);
    SetInstalledDataFolder("");
    QDir::setCurrent(previous);
  }

  std::string Ini() const { return config.path().toStdString() + "/Quillmark.ini"; }

  QTemporaryDir work;
  QTemporaryDir config;
  QTemporaryDir userData;
  QString previous;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
};

}  // namespace qm
