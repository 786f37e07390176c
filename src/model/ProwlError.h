#pragma once
// A failure that a command shows to the user: carries the system's own description
// (or, for a project file's content, the line and the reason).

#include <exception>
#include <string>

namespace prowl {

class ProwlError : public std::exception {
  public:
    explicit ProwlError(std::wstring message) : message_(std::move(message)) {}
    const std::wstring& message() const noexcept { return message_; }
    const char* what() const noexcept override { return "ActiveX Prowl error"; }

  private:
    std::wstring message_;
};

}  // namespace prowl
