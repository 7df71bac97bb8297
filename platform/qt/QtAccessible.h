#pragma once
// The controls' accessible objects presented through Qt's accessibility interface.

// Installs the interface factory and the accessibility service; the reverse.
void InitQtAccessibility();
void DoneQtAccessibility();

class QAccessibleInterface;
class TAccessibleObject;
// The interface Qt presents for an accessible object (made on first use); nil while Qt has
// not been given the object of the window it belongs to.
QAccessibleInterface* QtAccessibleInterface(TAccessibleObject* Object);
