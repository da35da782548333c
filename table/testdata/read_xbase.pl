#!/usr/bin/perl
# Opens a table with Perl XBase and its production index with XBase::Index, readers we did
# not write. Prints the fields, the rows, and for every tag of the index what XBase::Index
# reads of it (name, key type and length, pages) and the rows found through it.
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
if (defined $mdx) {
  # The tag table as XBase::Index parses it, then a walk of each tag's tree through the table.
  my $index = XBase::Index->new($mdx) or die XBase::Index->errstr;
  for my $name (sort keys %{$index->{tags}}) {
    my $tag = $index->{tags}{$name};
    print "tag $tag->{tag_name} type $tag->{key_type} length $tag->{key_length} header $tag->{header_page}",
          " root $tag->{start_page} keys/page $tag->{max_no_keys_per_page}\n";
    my $cursor = $table->prepare_select_with_index([$mdx, $name]) or die $table->errstr;
    my @order;
    while (my @row = $cursor->fetch) { push @order, $row[-1]; }
    print "rows by tag: @order\n";
  }
}
$table->close;
