#!/usr/bin/perl
# Reads or alters the payload resource (type "FCC", identifier 1) of an installer executable,
# for the tests that need a broken installer and for the size of the stub.
#   payload-resource.pl size    <exe>                 bytes of the payload
#   payload-resource.pl extract <exe> <out>           the payload written to a file
#   payload-resource.pl corrupt <exe> <out>           bytes in the middle of the stream flipped
#   payload-resource.pl hide    <exe> <out>           the type renamed "FCX": no payload found
#   payload-resource.pl replace <exe> <fcc> <out>     another (not larger) payload put in place
# Exit status 0, or 1 with a message when the executable carries no payload.
use strict;
use warnings;

my ($command, $exe, @rest) = @ARGV;
die "usage: $0 size|corrupt|hide|replace <exe> [...]\n" unless $command && $exe;

open(my $in, '<:raw', $exe) or die "$exe: $!\n";
my $image = do { local $/; <$in> };
close $in;

sub u16 { unpack('v', substr($image, $_[0], 2)) }
sub u32 { unpack('V', substr($image, $_[0], 4)) }

# The PE headers: where the resource directory lies, and how virtual addresses map to the file.
my $pe = u32(0x3C);
die "$exe: not a PE file\n" unless substr($image, $pe, 4) eq "PE\0\0";
my $sections = u16($pe + 6);
my $optionalSize = u16($pe + 20);
my $optional = $pe + 24;
my $directories = $optional + (u16($optional) == 0x20B ? 112 : 96);
my $resourceRva = u32($directories + 2 * 8);
my @table;
for my $i (0 .. $sections - 1) {
  my $s = $optional + $optionalSize + 40 * $i;
  my ($virtualSize, $address, $rawSize, $raw) = unpack('V4', substr($image, $s + 8, 16));
  push @table, [$address, ($virtualSize > $rawSize ? $virtualSize : $rawSize), $raw];
}
sub offset_of {
  my $rva = shift;
  for my $s (@table) {
    return $rva - $s->[0] + $s->[2] if $rva >= $s->[0] && $rva < $s->[0] + $s->[1];
  }
  die "$exe: address $rva lies in no section\n";
}
my $root = $resourceRva ? offset_of($resourceRva) : 0;
die "$exe: no resources\n" unless $root;

# The entries of a resource directory: [name or id, is-name, offset of the name string,
# points-to-subdirectory, offset].
sub entries {
  my $dir = shift;
  my $count = u16($dir + 12) + u16($dir + 14);
  my @list;
  for my $i (0 .. $count - 1) {
    my ($name, $target) = unpack('V2', substr($image, $dir + 16 + 8 * $i, 8));
    my ($key, $nameAt) = ($name & 0xFFFF, undef);
    if ($name & 0x80000000) {
      $nameAt = $root + ($name & 0x7FFFFFFF);
      $key = pack('C*', unpack('v*', substr($image, $nameAt + 2, 2 * u16($nameAt))));
    }
    push @list, [$key, defined $nameAt, $nameAt, ($target & 0x80000000) != 0,
                 $root + ($target & 0x7FFFFFFF)];
  }
  return @list;
}

my ($type) = grep { $_->[1] && $_->[0] eq 'FCC' && $_->[3] } entries($root);
die "$exe: no payload resource FCC\n" unless $type;
my ($id) = grep { !$_->[1] && $_->[0] == 1 && $_->[3] } entries($type->[4]);
die "$exe: no payload resource FCC 1\n" unless $id;
my ($language) = entries($id->[4]);
my $entry = $language->[4];
my $data = offset_of(u32($entry));
my $size = u32($entry + 4);

sub save {
  my $out = shift or die "$command needs an output file\n";
  open(my $o, '>:raw', $out) or die "$out: $!\n";
  print $o $image;
  close $o or die "$out: $!\n";
  chmod 0755, $out;
}

if ($command eq 'size') {
  print "$size\n";
} elsif ($command eq 'extract') {
  my $out = $rest[0] or die "extract needs an output file\n";
  open(my $o, '>:raw', $out) or die "$out: $!\n";
  print $o substr($image, $data, $size);
  close $o or die "$out: $!\n";
} elsif ($command eq 'corrupt') {
  # A run of bytes well inside the first bzip2 block: the stream's checks must catch it.
  my $at = $data + int($size / 3);
  substr($image, $at, 64) = pack('C*', map { $_ ^ 0x5A } unpack('C*', substr($image, $at, 64)));
  save($rest[0]);
} elsif ($command eq 'hide') {
  substr($image, $type->[2] + 2 + 2 * 2, 2) = pack('v', ord 'X');
  save($rest[0]);
} elsif ($command eq 'replace') {
  open(my $f, '<:raw', $rest[0]) or die "$rest[0]: $!\n";
  my $payload = do { local $/; <$f> };
  close $f;
  die "$rest[0]: larger than the payload it would replace\n" if length($payload) > $size;
  substr($image, $data, length $payload) = $payload;
  substr($image, $entry + 4, 4) = pack('V', length $payload);
  save($rest[1]);
} else {
  die "unknown command $command\n";
}
