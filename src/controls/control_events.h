#pragma once
// The event types of the input controls. Handlers are plain functions held
// by the control; an empty handler is "not assigned".

#include <QString>
#include <Qt>

#include <functional>

class QObject;

// A notification with the control as sender (OnEnter, OnExit,
// OnClickButton, OnClickSpace, OnError).
using TNotifyEvent = std::function<void(QObject* sender)>;
using TOvErrorEvent = TNotifyEvent;

// The control was left with Tab, Shift+Tab or Enter-as-Tab; `shift` is the
// modifier state of that key.
using TTabExitEvent = std::function<void(QObject* sender, Qt::KeyboardModifiers shift)>;

// A key went down, before the control's own handling. Setting `key` to 0
// swallows it. Enter arrives as Tab when the control turns Enter into Tab.
using TKeyEvent = std::function<void(QObject* sender, int& key, Qt::KeyboardModifiers shift)>;

// The validity check of a bound edit: the handler may change the text and
// the verdict.
using TOvValidEvent = std::function<void(QObject* sender, QString& text, bool& isValid)>;
