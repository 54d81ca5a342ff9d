#include "imagebuilder/demo_images.h"

namespace brovane::imagebuilder {

std::string_view DemoDiskDescription() {
    return R"(# Brovane demo disk: 64 MiB, sparse.
disk size=64M signature=0x42524F56

# Primary 1: FAT16, 16 MiB, 2 KiB clusters.
partition type=0x06 start=2048 size=32768 status=0x80
fat16 sectors_per_cluster=4 volume_id=0x16160001
label "DEMO FAT16"
file /README.TXT data="Brovane demo disk: FAT16 primary partition.\r\n" date=2024-02-01 time=09:15:00
dir /DOCS lfn="Documents" date=2024-02-01 time=09:20:00
dir /DOCS/ARCHIVE lfn="Old archive 2023"
file /DOCS/REPORT.TXT lfn="Quarterly report.txt" pattern="Quarterly figures, fragmented over three clusters. " length=5000 clusters=12,16,14
file /DOCS/ARCHIVE/NOTES.TXT lfn="Meeting notes from March.txt" data="Notes kept two levels down.\n"
deleted /OLDPLAN.TXT lfn="Old plan.txt" data="This plan was deleted.\n"
file /EMPTY.DAT

# Primary 2: FAT32, 34 MiB, 512-byte clusters.
partition type=0x0C start=34816 size=69632
fat32 sectors_per_cluster=1 volume_id=0x32320002
label "DEMO FAT32"
dir /PHOTOS lfn="Holiday photos"
dir /PHOTOS/BEACH lfn="Beach and dunes"
file /PHOTOS/BEACH/IMG0001.JPG lfn="Sunset over the dunes.jpg" pattern="JPEG-ish bytes " length=1800
file /LONGNAME.TXT lfn="A file whose long name needs several slots to hold it.txt" data="Long names span slots.\n"
file /FRAG.BIN lfn="Fragmented binary.bin" pattern="0123456789ABCDEF" length=2000 clusters=40,30,35,31
deleted /TEMP.TMP lfn="Temporary file.tmp" data="Deleted with its long name.\n"

# Extended partition with two logical drives.
partition type=0x05 start=104448 size=26624
logical type=0x01 start=106496 size=8192
fat12 sectors_per_cluster=4 volume_id=0x12120003
label "DEMO FAT12"
dir /GAMES lfn="Games and puzzles"
dir /GAMES/CHESS
file /GAMES/CHESS/OPENINGS.TXT lfn="Chess openings.txt" pattern="e4 e5 Nf3 Nc6 " length=4500 clusters=20,9,25
file /AUTOEXEC.BAT data="@ECHO OFF\r\nPROMPT $P$G\r\n"
deleted /CONFIG.BAK data="FILES=30\r\n"

logical type=0x06 start=116736 size=12288
fat16 sectors_per_cluster=2 volume_id=0x16160004
label "LOGICAL16"
dir /DATA lfn="Data files"
dir /DATA/2024
file /DATA/2024/SALES.CSV lfn="Sales by month.csv" data="month,total\njan,100\nfeb,120\n"
file /NOTES.TXT lfn="notes.txt" data="Second logical drive.\n"
)";
}

std::string_view DemoFloppyDescription() {
    return R"(# Brovane demo floppy: 1.44 MB FAT12.
disk sectors=2880
fat12 start=0 size=2880 sectors_per_cluster=1 root_entries=224 media=0xF0 sectors_per_track=18 heads=2 hidden=0 drive=0x00 volume_id=0x14400005
label "DEMO FLOPPY"
file /AUTOEXEC.BAT data="@ECHO OFF\r\nPATH A:\\\r\n"
file /LETTER.TXT lfn="Letter to the bank.txt" pattern="Dear Sir or Madam, " length=1200 clusters=30,31,20
dir /TOOLS lfn="Disk tools"
file /TOOLS/README.TXT data="Tools live here.\r\n"
deleted /DRAFT.TXT lfn="Draft letter.txt" data="An early draft.\r\n"
)";
}

}  // namespace brovane::imagebuilder
