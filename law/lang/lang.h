#pragma once
// The law expression language: registries, parser, list utilities and the code generator.
#include <law/lang/codeline.h>
#include <law/lang/law_function.h>
#include <law/lang/law_list.h>
#include <law/lang/lawcode.h>
#include <law/lang/list_utils.h>
#include <law/lang/pastlawcode.h>
#include <law/lang/str_to_law.h>
