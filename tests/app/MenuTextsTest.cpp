#include "MenuTexts.h"

#include <gtest/gtest.h>

TEST(MenuTexts, NewConfigCaptionsAndBalloonTitles) {
  EXPECT_EQ(NewVolumeConfigText(),
            "[Label]\r\nLetter=N\r\n;Partition=5\r\n;Disk=0\r\n;File=\\path\\to\\some.file\r\n;auto=1\r\n;DefaultPass=0");
  EXPECT_EQ(VolumeItemCaption("Any", ' '), "Any ( :)");
  EXPECT_EQ(SavePasswordCaption(-5), "Save Default Password (-5)");
  EXPECT_EQ(VolumeResultTitle("Volume Mounted", true), "Volume Mounted : OK");
  EXPECT_EQ(VolumeResultTitle("Volume Dismounted", false), "Volume Dismounted : Error");
}
