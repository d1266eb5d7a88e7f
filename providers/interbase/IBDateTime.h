#pragma once
// Dates and times in the server's wire form: a date is days since 17 November 1858,
// a time ten-thousandths of a second since midnight.
#include "platform/DateTime.h"
#include "providers/interbase/IBApi.h"

namespace vantrelo {

constexpr int IBDateDelta = 15018;           // 30 December 1899 as a server date
constexpr double IBTimeUnitsPerDay = 864000000.0;

ibapi::TIscDate EncodeIBDate(TDateTime value);
ibapi::TIscTime EncodeIBTime(TDateTime value);
ibapi::TIscTimestamp EncodeIBTimestamp(TDateTime value);

TDateTime DecodeIBDate(ibapi::TIscDate date);
TDateTime DecodeIBTime(ibapi::TIscTime time);
TDateTime DecodeIBTimestamp(ibapi::TIscTimestamp stamp);

} // namespace vantrelo
