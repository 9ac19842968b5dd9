#include "update/notice_rules.h"

#include <gtest/gtest.h>

namespace {

using update::NoticeFields;

TEST(NoticeReply, FieldsAndTheKeepOldValueRule) {
  NoticeFields fields;
  fields.apply("Y|30000|12|text|http://a/");
  EXPECT_TRUE(fields.announced());
  EXPECT_EQ(fields.pollPeriodMs(), 30000);
  EXPECT_EQ(fields.field[2], "12");
  EXPECT_EQ(fields.field[3], "text");
  EXPECT_EQ(fields.field[4], "http://a/");

  fields.apply("N|40000");  // a shorter reply keeps fields 2 to 4
  EXPECT_FALSE(fields.announced());
  EXPECT_EQ(fields.pollPeriodMs(), 40000);
  EXPECT_EQ(fields.field[2], "12");
  EXPECT_EQ(fields.field[4], "http://a/");

  fields.apply("");  // an empty reply (status not 200): no notice, the rest kept
  EXPECT_FALSE(fields.announced());
  EXPECT_EQ(fields.pollPeriodMs(), 40000);

  fields.apply("Y||13|t|l|extra|more\n");
  EXPECT_EQ(fields.pollPeriodMs(), 60000);
  EXPECT_EQ(fields.field[4], "l");

  fields.apply("Y|1|14|t|http://b/\r\n");  // a line end stays part of the last field
  EXPECT_EQ(fields.field[4], "http://b/\r\n");
}

TEST(NoticeReply, HostilePeriodsAreBroughtIntoRange) {
  struct Row {
    const char* period;
    int ms;
  };
  const Row rows[] = {{"0", 10000}, {"-5", 10000}, {"1", 10000}, {"abc", 10000},
                      {"99999999999", 86400000}, {"600000", 600000}, {"", 60000}};
  for (const Row& row : rows) {
    NoticeFields fields;
    fields.apply(std::string("Y|") + row.period + "|1|t|l");
    EXPECT_EQ(fields.pollPeriodMs(), row.ms) << row.period;
  }
}

TEST(NoticeDecision, NewOnlyWhenTheNumberGrows) {
  EXPECT_TRUE(update::isNewNotice("default", "12"));
  EXPECT_TRUE(update::isNewNotice("11", "12"));
  EXPECT_FALSE(update::isNewNotice("12", "12"));
  EXPECT_FALSE(update::isNewNotice("13", "12"));
  EXPECT_TRUE(update::isNewNotice("default", "0"));
}

}  // namespace
