#pragma once

#include "logger/automation.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A stand-in for the presentation program where it is not installed: an automation
// application that answers every member either logger version calls, holds one
// presentation, and runs a slide show that tests and scripts start, move and end.
class SubstitutePowerPoint {
  public:
    // A slide's title; nullopt for a slide without a title placeholder, whose title
    // chain fails as the real program's does.
    using Title = std::optional<std::string>;

    // What a slide says besides its title: its text boxes, and its notes (the notes page's
    // body first, then text boxes of their own).
    struct Words {
        std::vector<std::string> texts;
        std::vector<std::string> notes;
    };

    SubstitutePowerPoint();

    // firstSlideNumber is the number the deck's first slide displays; slides are read
    // by their place all the same.
    void setDeck(std::string path, std::vector<Title> titles, int firstSlideNumber = 1);
    // The words of the slides in order; a slide past the last holds none.
    void setWords(std::vector<Words> words);
    // Whether the program holds the deck as the operator's open presentation (as at first),
    // or holds nothing until a client opens a deck, whose slides are then this deck's.
    void setHoldsPresentation(bool holds);
    // Creating the application fails, as on a machine without the program.
    void setUnavailable(bool unavailable);
    // The class names the program is registered under (both versioned names at first);
    // creating by any other name fails as for a missing program.
    void setClassNames(std::vector<std::string> classNames);
    // What the application's "Version" answers ("8.0" at first).
    void setVersion(std::string version);

    // The operator at the presentation program. Each throws std::invalid_argument for a
    // slide outside the deck or a show that is not running, and std::logic_error once
    // the program was closed.
    void startShow(int slide);
    void gotoSlide(int slide);
    void endShow();
    // Closes the program: every later call on its objects fails.
    void quit();
    // The operator starts a closed program again.
    void launch();
    // The program turns every call away as busy, as it does while it shows a modal dialog:
    // from the call after `answered` more calls on, until it is ready again.
    void beBusy(int answered = 0);
    void beReady();

    bool showRunning() const;
    int shownSlide() const;
    bool isClosed() const;
    bool isVisible() const;
    // The last window state sent, 0 when none was.
    int windowState() const;

    // The calls answered so far (gets, puts and method calls on any of its objects),
    // in all and per member name.
    int calls() const;
    int callsOf(const std::string& member) const;
    void resetCalls();
    // The calls turned away as busy, and how often the program was created or bound.
    int rejectedCalls() const;
    // The presentations clients opened and have not closed.
    int openedPresentations() const;
    int bindings() const;

    // Creates the application for a class name it is registered under.
    AutomationFactory factory();
    // The same for a program that runs already: fails while it is closed.
    AutomationFactory attachFactory();

    struct State;

  private:
    std::shared_ptr<State> m_state;
};
