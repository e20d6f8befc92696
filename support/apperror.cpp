#include "support/apperror.h"

#include <utility>

AppError::AppError(qint32 number, QString description, qint32 position)
    : m_number(number)
    , m_description(std::move(description))
    , m_position(position)
    , m_what(m_description.toUtf8())
{}
