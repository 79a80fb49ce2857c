#pragma once

class QWidget;

// The form's root as Designer shows it: an empty container whose class is named Tfrm_Jointrix
// and that looks like the window's background. The real window cannot stand in: its
// constructor builds the whole description and runs FormCreate.
QWidget *CreateFormContainer(QWidget *parent);
