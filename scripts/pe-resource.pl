#!/usr/bin/perl
# Finds, reads or alters a resource of a Windows executable (PE32 or PE32+). The stub measure
# and the build checks find the payload with it; the tests make broken installers with it.
#   pe-resource.pl find    <exe> <type> <id>       "<file offset> <size>" of the resource's data
#   pe-resource.pl language <exe> <type> <id>      the language of the resource (1036: French)
#   pe-resource.pl size    <exe>                   bytes of the payload (resource FCC 1)
#   pe-resource.pl extract <exe> <out>             the payload written to a file
#   pe-resource.pl corrupt <exe> <out>             bytes in the middle of the payload flipped
#   pe-resource.pl hide    <exe> <out>             the type renamed "FCX": no payload is found
#   pe-resource.pl replace <exe> <fcc> <out>       another (not larger) payload put in its place
# Types and ids are numbers or names; names compare without regard to case, as Windows does.
# The first language that carries the resource is taken. Exits 1 with a message on standard
# error when the file is no PE or lacks the resource, 2 on a wrong command line.
use strict;
use warnings;

my ($command, $exe, @rest) = @ARGV;
my %arguments = (find => 2, language => 2, size => 0, extract => 1, corrupt => 1, hide => 1, replace => 2);
unless ($command && $exe && exists $arguments{$command} && @rest == $arguments{$command}) {
  print STDERR "usage: $0 find|language EXE TYPE ID | size EXE | extract|corrupt|hide EXE OUT"
    . " | replace EXE FCC OUT\n";
  exit 2;
}
sub fail { print STDERR "$exe: @_\n"; exit 1; }

open(my $in, '<:raw', $exe) or fail("$!");
my $image = do { local $/; <$in> };
close $in;

sub u16 {
  fail("cut short (offset $_[0])") if $_[0] < 0 || $_[0] + 2 > length $image;
  return unpack('v', substr($image, $_[0], 2));
}
sub u32 {
  fail("cut short (offset $_[0])") if $_[0] < 0 || $_[0] + 4 > length $image;
  return unpack('V', substr($image, $_[0], 4));
}

# The PE headers: where the resource directory lies, and how addresses map to the file.
fail("not a Windows executable") unless substr($image, 0, 2) eq 'MZ';
my $pe = u32(0x3C);
fail("no PE signature") unless u32($pe) == 0x4550;
my $sections = u16($pe + 6);
my $optionalSize = u16($pe + 20);
my $optional = $pe + 24;
my $directories = $optional + (u16($optional) == 0x20B ? 112 : 96);
my $resourceRva = $directories + 24 <= $optional + $optionalSize ? u32($directories + 16) : 0;
fail("no resources") unless $resourceRva;
my @table;
for my $i (0 .. $sections - 1) {
  my $s = $optional + $optionalSize + 40 * $i;
  my ($virtualSize, $address, $rawSize, $raw) = (u32($s + 8), u32($s + 12), u32($s + 16), u32($s + 20));
  push @table, [$address, ($virtualSize > $rawSize ? $virtualSize : $rawSize), $raw];
}
sub offset_of {
  my $rva = shift;
  for my $s (@table) {
    return $rva - $s->[0] + $s->[2] if $rva >= $s->[0] && $rva < $s->[0] + $s->[1];
  }
  fail("address $rva lies in no section");
}
my $root = offset_of($resourceRva);

# The entries of one resource directory: {key, named, name (offset of the string), dir, at}.
sub entries {
  my $dir = shift;
  my @list;
  for my $i (0 .. u16($dir + 12) + u16($dir + 14) - 1) {
    my ($name, $target) = (u32($dir + 16 + 8 * $i), u32($dir + 20 + 8 * $i));
    my %e = (key => $name & 0xFFFF, named => ($name & 0x80000000) != 0,
             dir => ($target & 0x80000000) != 0, at => $root + ($target & 0x7FFFFFFF));
    if ($e{named}) {
      $e{name} = $root + ($name & 0x7FFFFFFF);
      my $length = u16($e{name});
      fail("cut short (a name)") if $e{name} + 2 + 2 * $length > length $image;
      $e{key} = uc pack('C*', map { $_ & 0xFF } unpack('v*', substr($image, $e{name} + 2, 2 * $length)));
    }
    push @list, \%e;
  }
  return @list;
}
sub child {  # directory, wanted key (number or name): the subdirectory entry
  my ($dir, $want) = @_;
  my $numeric = $want =~ /^\d+$/;
  for my $e (entries($dir)) {
    next unless $e->{dir};
    next if $numeric ? $e->{named} : !$e->{named};
    return $e if $numeric ? $e->{key} == $want : $e->{key} eq uc $want;
  }
  return undef;
}

my ($wantType, $wantId) = $command =~ /^(find|language)$/ ? @rest : ('FCC', 1);
my $type = child($root, $wantType) or fail("no resource of type $wantType");
my $id = child($type->{at}, $wantId) or fail("no resource $wantType $wantId");
my ($language) = grep { !$_->{dir} } entries($id->{at});
fail("no data for resource $wantType $wantId") unless $language;
my $entry = $language->{at};
my $size = u32($entry + 4);
my $data = offset_of(u32($entry));
fail("the data of $wantType $wantId runs past the end") if $data + $size > length $image;

sub save {
  my $out = shift;
  open(my $o, '>:raw', $out) or die "$out: $!\n";
  print $o @_;
  close $o or die "$out: $!\n";
}

if ($command eq 'find') {
  print "$data $size\n";
} elsif ($command eq 'language') {
  print "$language->{key}\n";
} elsif ($command eq 'size') {
  print "$size\n";
} elsif ($command eq 'extract') {
  save($rest[0], substr($image, $data, $size));
} elsif ($command eq 'corrupt') {
  # A run of bytes well inside the first bzip2 block: the stream's checks must catch it.
  my $at = $data + int($size / 3);
  substr($image, $at, 64) = pack('C*', map { $_ ^ 0x5A } unpack('C*', substr($image, $at, 64)));
  save($rest[0], $image);
} elsif ($command eq 'hide') {
  fail("the payload's type has no name to change") unless $type->{named};
  substr($image, $type->{name} + 2 + 2 * 2, 2) = pack('v', ord 'X');
  save($rest[0], $image);
} elsif ($command eq 'replace') {
  open(my $f, '<:raw', $rest[0]) or die "$rest[0]: $!\n";
  my $payload = do { local $/; <$f> };
  close $f;
  fail("$rest[0] is larger than the payload it would replace") if length($payload) > $size;
  substr($image, $data, length $payload) = $payload;
  substr($image, $entry + 4, 4) = pack('V', length $payload);
  save($rest[1], $image);
}
chmod 0755, $rest[-1] if $command =~ /^(corrupt|hide|replace)$/;
