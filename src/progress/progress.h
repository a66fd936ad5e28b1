// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

class FeatureHost;
class ProgressWindow;

// The progress window on the menu and F9, made the first time it is asked for.
class Progress {
 public:
  explicit Progress(FeatureHost& host);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void open();
  // Null until first opened.
  ProgressWindow* window() const { return window_.get(); }

 private:
  FeatureHost& host_;
  std::unique_ptr<ProgressWindow> window_;
};
