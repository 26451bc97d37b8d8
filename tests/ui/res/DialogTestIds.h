#pragma once

#define TestDialogId 200
#define NestedDialogId 201
#define TextId 300
#define EmptyTextId 301
#define DisabledId 302
#define MissingTemplateId 999
