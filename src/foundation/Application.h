#pragma once

#include <QApplication>

// The application object of both programs: sets the interface fonts and is the
// application-wide error handler. An error that no window handled is shown in one error
// box and the program carries on; a silent abort ends the user action without a word.
class TVelmoraApplication : public QApplication
{
    Q_OBJECT

public:
    TVelmoraApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the message of an exception that reached the event loop.
    static void HandleException(std::exception_ptr error);
};

// Chinese-capable font families in order of preference, for the whole interface.
void ApplyInterfaceFont(QApplication& app);
