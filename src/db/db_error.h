#pragma once
// The error every failing call to the database raises, carrying the client
// library's message text.

#include "support/app_error.h"

class DbError : public AppError {
public:
    using AppError::AppError;
};
