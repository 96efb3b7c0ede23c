// The main window.
#pragma once

#include "toolkit/Form.h"

class Tmainform : public Form {
public:
    explicit Tmainform(Component* Owner);
};

extern Tmainform* mainform;
