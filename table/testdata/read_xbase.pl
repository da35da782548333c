#!/usr/bin/perl
# Opens a table with Perl XBase and its production index with XBase::Index, readers we did
# not write. Prints the fields, the rows, and for every tag its name, key type and expression.
# usage: read_xbase.pl FILE.DBF [FILE.MDX]
use strict;
use warnings;
use XBase;
use XBase::Index;

my ($dbf, $mdx) = @ARGV;
my $table = XBase->new(name => $dbf, ignorememo => 1) or die XBase->errstr;
print "version ", $table->version, "\n";
print "fields ", join(",", map { $_ . ":" . $table->field_type($_) . ":" . $table->field_length($_) . ":" .
                                   $table->field_decimal($_) } $table->field_names), "\n";
print "records ", $table->last_record + 1, "\n";
for my $i (0 .. $table->last_record) {
  my ($deleted, @values) = $table->get_record($i);
  next if $deleted;
  print "row ", join("|", map { defined $_ ? $_ : "" } @values), "\n";
}
$table->close;
if (defined $mdx) {
  my $index = XBase::Index->new($mdx) or die XBase::Index->errstr;
  my $tags = $index->tags;
  for my $tag (@$tags) {
    my $one = XBase::Index->new($mdx, tag => $tag) or die XBase::Index->errstr;
    print "tag $tag type ", $one->{'key_type'}, " expression ", $one->{'key_string'}, "\n";
    $one->prepare_select;
    my @first = $one->fetch;
    print "keys ", (@first ? "some" : "none"), "\n";
  }
}
