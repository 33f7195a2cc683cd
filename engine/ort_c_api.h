#pragma once
// ONNX Runtime's C API header. Built with mingw-w64, the header takes its
// Windows branch, which expects MSVC's calling-convention keyword and SAL
// annotations that mingw's <specstrings.h> lacks; they carry no meaning for
// code generation and are defined away here.
#if defined(__MINGW32__)
#include <specstrings.h>
#ifndef _stdcall
#define _stdcall __stdcall
#endif
#ifndef _Return_type_success_
#define _Return_type_success_(expression)
#endif
#endif

#include <onnxruntime_c_api.h>
