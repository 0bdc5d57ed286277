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
    // The text of the window's abort button ("Abort Save" while exporting).
    virtual void SetAbortText(const std::string&) {}
};

// The program's one abort request: set by the abort button of a progress or link window,
// cleared when the next long operation starts or when the user chooses to go on.
class CAbortRequest {
  public:
    void Request() { m_bRequested = true; }
    void Clear() { m_bRequested = false; }
    bool IsRequested() const { return m_bRequested; }

  private:
    bool m_bRequested = false;
};

class IHostServices {
  public:
    virtual ~IHostServices() = default;
    virtual void Message(const std::string& text, Icon icon) = 0;
    virtual Answer Ask(const std::string& text, Buttons buttons, Answer defaultAnswer) = 0;
    // The progress window of a long file or processing operation.
    virtual std::unique_ptr<IProgress> OpenProgress(const std::string& title) = 0;
    // The link window of a conversation with the logger, with its "Abort Transmission" button.
    virtual std::unique_ptr<IProgress> OpenLinkWindow(const std::string& title) {
        return OpenProgress(title);
    }
    // Withdraws the abort request: the user chose to go on with what has arrived.
    virtual void ClearAbort() {}
    // Pumps events without a window; returns true when an abort was requested.
    virtual bool Pump() = 0;
};

// Status line ids used by the progress windows.
inline constexpr int kStatusDataLoaded = 1021;

}  // namespace orvex
