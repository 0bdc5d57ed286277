// The services that core code asks of the program hosting it: message boxes, questions,
// progress/link windows with an abort button, and event pumping between long steps.
#pragma once

#include <memory>
#include <string>

namespace orvex {

enum class Icon { Error, Warning, Information, Stop, Question };
enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel };
enum class Answer { Ok, Yes, No, Cancel };

// A progress or link window: a title, numbered status lines and the abort button.
class IProgress {
  public:
    virtual ~IProgress() = default;
    virtual void SetTitle(const std::string& title) = 0;
    // Status line `line` (a small number or the window's control id) shows `text`.
    virtual void SetStatus(int line, const std::string& text) = 0;
    // Lets the host process its events; returns true when the user asked to abort.
    virtual bool Pump() = 0;
};

class IHostServices {
  public:
    virtual ~IHostServices() = default;
    virtual void Message(const std::string& text, Icon icon) = 0;
    virtual Answer Ask(const std::string& text, Buttons buttons, Answer defaultAnswer) = 0;
    virtual std::unique_ptr<IProgress> OpenProgress(const std::string& title) = 0;
    // Pumps events without a window; returns true when an abort was requested.
    virtual bool Pump() = 0;
};

// Status line ids used by the progress windows.
inline constexpr int kStatusDataLoaded = 1021;

}  // namespace orvex
