// The command language: its grammars and the actions of its commands.
#include "io/command_actions.h"

CommandActions gCommandActions = {};
