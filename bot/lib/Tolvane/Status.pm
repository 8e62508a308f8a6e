package Tolvane::Status;
# The two files through which the panel follows the bot. results.txt: the
# first line is a short status for the user (the tray tooltip, and the box
# shown when the bot is stopped); the lines below it are notes about the
# data files. control.txt: the first line is exactly "Connected!" while the
# bot is signed on, and something else at every other time. Each is written
# whole and replaced in one step.
use strict;
use warnings;
use File::Spec;
use Tolvane::Files qw(write_file_whole);

our $CONNECTED = 'Connected!';

# The panel takes at most this many characters of a first line.
my $MAX_LINE = 499;

sub new {
    my ($class, $dir) = @_;
    return bless {
        results => File::Spec->catfile($dir, 'results.txt'),
        control => File::Spec->catfile($dir, 'control.txt'),
        status  => '',
        notes   => [],
        errors  => [],
    }, $class;
}

sub _one_line {
    my ($text) = @_;
    $text =~ s/[\r\n]+/ /g;
    $text = substr($text, 0, $MAX_LINE) if length $text > $MAX_LINE;
    return $text;
}

sub _write {
    my ($self, $path, @lines) = @_;
    my $why = write_file_whole($path, join '', map { _one_line($_) . "\r\n" } @lines);
    push @{ $self->{errors} }, $why if defined $why;
    return !defined $why;
}

# Sets the status line; the notes stay below it.
sub status {
    my ($self, $text) = @_;
    $self->{status} = $text;
    return $self->_write($self->{results}, $text, @{ $self->{notes} });
}

sub current { $_[0]{status} }

# Notes about the data files, shown below the status line.
sub set_notes {
    my ($self, @notes) = @_;
    $self->{notes} = [@notes];
    return $self->_write($self->{results}, $self->{status}, @notes);
}

sub add_note {
    my ($self, $note) = @_;
    push @{ $self->{notes} }, $note;
    return $self->_write($self->{results}, $self->{status}, @{ $self->{notes} });
}

# control.txt: "Connected!" or the word for any other state.
sub connected {
    my ($self, $yes) = @_;
    return $self->_write($self->{control}, $yes ? $CONNECTED : 'Not connected');
}

# Reasons of writes that failed, for the caller to report where it can.
sub take_errors {
    my ($self) = @_;
    my @errors = @{ $self->{errors} };
    $self->{errors} = [];
    return @errors;
}

1;
