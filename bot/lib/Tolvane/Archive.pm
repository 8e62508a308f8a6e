package Tolvane::Archive;
# What the bot keeps of the conversation.
#
# mrecived.txt in the data folder keeps every message received, over all
# runs; its first line sums them up for the Saved Messages button:
#     12 messages from 3 buddies since 2024-05-01 09:05
#     since<TAB>2024-05-01 09:05:13
#     message<TAB>2024-05-01 09:06:02<TAB>bob<TAB>hello\nthere
#     away<TAB>2024-05-01 09:07:00<TAB>amy<TAB>out to lunch
# (texts with \\, \n, \r and \t escaped). "away" lines are buddies' away
# messages, kept only when "Save buddies away messages" is on.
#
# Each run also writes one HTML page of its conversation, messages and
# answers, into the saved-messages folder, from its first message on.
use strict;
use warnings;
use File::Spec;
use POSIX qw(strftime);
use Tolvane::Files qw(read_file split_lines write_file_whole);
use Tolvane::Config ();

sub _stamp { strftime('%Y-%m-%d %H:%M:%S', localtime $_[0]) }

sub _escape {
    my ($text) = @_;
    $text =~ s/\\/\\\\/g;
    $text =~ s/\n/\\n/g;
    $text =~ s/\r/\\r/g;
    $text =~ s/\t/\\t/g;
    return $text;
}

sub _unescape {
    my ($text) = @_;
    my %map = (n => "\n", r => "\r", t => "\t", '\\' => '\\');
    $text =~ s/\\([nrt\\])/$map{$1}/g;
    return $text;
}

# Every character of a buddy's text that means something in HTML, written
# as an entity; line breaks become <br>; other control characters, which
# HTML cannot hold, become "?".
sub html_escape {
    my ($text) = @_;
    $text =~ s/&/&amp;/g;
    $text =~ s/</&lt;/g;
    $text =~ s/>/&gt;/g;
    $text =~ s/"/&quot;/g;
    $text =~ s/'/&#39;/g;
    $text =~ s/\r\n?|\n/<br>/g;
    $text =~ s/[\x00-\x08\x0b-\x1f\x7f]/?/g;
    return $text;
}

# dir: the data folder; saved_dir: where the HTML pages go; now: the time
# the run began; account: the screen name, for the page.
sub new {
    my ($class, %args) = @_;
    my $self = bless {
        file      => File::Spec->catfile($args{dir}, 'mrecived.txt'),
        saved_dir => $args{saved_dir},
        account   => $args{account},
        started   => $args{now},
        records   => [],
        kept      => [],      # lines of the file that are not records
        since     => undef,
        page      => undef,
        run       => [],      # this run's conversation, for the page
        notes     => [],
    }, $class;
    $self->_load;
    return $self;
}

sub notes { @{ $_[0]{notes} } }

sub _note { push @{ $_[0]{notes} }, $_[1] }

sub _load {
    my ($self) = @_;
    my ($data, $err, $missing) = read_file($self->{file});
    unless (defined $data) {
        $self->_note("Cannot read mrecived.txt ($err): the messages of earlier runs are not counted")
          unless $missing;
        $self->{since} = $self->{started};
        return;
    }
    my @lines = split_lines($data);
    shift @lines;    # the summary, made afresh
    my $bad = 0;
    for my $line (@lines) {
        next if $line eq '';
        my @f = split /\t/, $line, -1;
        if (@f == 2 && $f[0] eq 'since' && defined(my $t = _parse_stamp($f[1]))) {
            $self->{since} = $t;
        } elsif (@f == 4 && ($f[0] eq 'message' || $f[0] eq 'away')
            && defined(my $time = _parse_stamp($f[1])))
        {
            push @{ $self->{records} },
              { kind => $f[0], time => $time, buddy => $f[2], text => _unescape($f[3]) };
        } else {
            # Kept as it stands: nothing the owner saved is thrown away.
            push @{ $self->{kept} }, $line;
            $bad++;
        }
    }
    $self->_note("mrecived.txt: $bad line(s) are not saved messages; they are kept as they are")
      if $bad;
    unless (defined $self->{since}) {
        my ($first) = sort { $a <=> $b } map { $_->{time} } @{ $self->{records} };
        $self->{since} = defined $first ? $first : $self->{started};
    }
}

sub _parse_stamp {
    my ($text) = @_;
    my @p = $text =~ /\A(\d{4})-(\d\d)-(\d\d) (\d\d):(\d\d):(\d\d)\z/ or return undef;
    require Time::Local;
    my $t = eval { Time::Local::timelocal($p[5], $p[4], $p[3], $p[2], $p[1] - 1, $p[0]) };
    return $t;
}

sub summary {
    my ($self) = @_;
    my @messages = grep { $_->{kind} eq 'message' } @{ $self->{records} };
    my %buddies = map { Tolvane::Config::norm($_->{buddy}) => 1 } @messages;
    my $n = @messages;
    my $m = keys %buddies;
    return sprintf '%d message%s from %d budd%s since %s', $n, $n == 1 ? '' : 's', $m,
      $m == 1 ? 'y' : 'ies', strftime('%Y-%m-%d %H:%M', localtime $self->{since});
}

sub count_messages { scalar grep { $_->{kind} eq 'message' } @{ $_[0]{records} } }

sub records { @{ $_[0]{records} } }

# Writes mrecived.txt whole. Returns undef or the reason it failed.
sub save {
    my ($self) = @_;
    my @lines = ($self->summary, "since\t" . _stamp($self->{since}));
    push @lines, @{ $self->{kept} };
    push @lines, map { join "\t", $_->{kind}, _stamp($_->{time}), _escape($_->{buddy}), _escape($_->{text}) }
      @{ $self->{records} };
    return write_file_whole($self->{file}, join '', map { "$_\r\n" } @lines);
}

# A message received (kind "message") or a buddy's away message ("away").
# Returns the reasons of writes that failed.
sub add {
    my ($self, $kind, $time, $buddy, $text) = @_;
    push @{ $self->{records} }, { kind => $kind, time => $time, buddy => $buddy, text => $text };
    push @{ $self->{run} }, { kind => $kind, time => $time, buddy => $buddy, text => $text };
    return grep { defined } $self->save, $self->write_page;
}

# An answer the bot sent, for this run's page.
sub add_answer {
    my ($self, $time, $buddy, $text) = @_;
    push @{ $self->{run} }, { kind => 'answer', time => $time, buddy => $buddy, text => $text };
    return grep { defined } $self->write_page;
}

sub page_path { $_[0]{page} }

sub _page_name {
    my ($self) = @_;
    my $base = 'Tolvane ' . strftime('%Y-%m-%d %H-%M-%S', localtime $self->{started});
    my $name = "$base.html";
    my $n = 1;
    while (-e File::Spec->catfile($self->{saved_dir}, $name)) {
        $n++;
        $name = "$base ($n).html";
    }
    return File::Spec->catfile($self->{saved_dir}, $name);
}

# Writes this run's page whole, once the run has something on it.
sub write_page {
    my ($self) = @_;
    return undef unless @{ $self->{run} };
    unless (-d $self->{saved_dir}) {
        mkdir $self->{saved_dir}
          or return "cannot create the saved-messages folder $self->{saved_dir}: $!";
    }
    $self->{page} ||= $self->_page_name;
    return write_file_whole($self->{page}, $self->page_html);
}

sub page_html {
    my ($self) = @_;
    my $account = html_escape($self->{account});
    my $day = strftime('%Y-%m-%d', localtime $self->{started});
    my $at = strftime('%H:%M', localtime $self->{started});
    my @received = grep { $_->{kind} eq 'message' } @{ $self->{run} };
    my %buddies = map { Tolvane::Config::norm($_->{buddy}) => 1 } @received;
    my @rows;
    my %what = (message => 'wrote', away => 'away message', answer => 'answer to');
    for my $r (@{ $self->{run} }) {
        push @rows, sprintf '<tr class="%s"><td>%s</td><td>%s %s</td><td>%s</td></tr>',
          $r->{kind}, strftime('%H:%M:%S', localtime $r->{time}),
          $r->{kind} eq 'answer' ? ($what{answer}, html_escape($r->{buddy}))
          : (html_escape($r->{buddy}), $what{ $r->{kind} }),
          html_escape($r->{text});
    }
    my $count = sprintf '%d message%s from %d budd%s', scalar @received,
      @received == 1 ? '' : 's', scalar keys %buddies, keys %buddies == 1 ? 'y' : 'ies';
    return join "\r\n", '<!DOCTYPE html>', '<html lang="en">', '<head>',
      '<meta charset="windows-1252">',
      "<title>Tolvane: messages of $day $at</title>",
      '<style>',
      'body { font-family: Tahoma, Verdana, sans-serif; font-size: 10pt; margin: 1em 2em; }',
      'table { border-collapse: collapse; }',
      'td, th { border-bottom: 1px solid #ccc; padding: 3px 8px; text-align: left; vertical-align: top; }',
      'tr.answer td { color: #555; } tr.away td { font-style: italic; }',
      '</style>', '</head>', '<body>',
      "<h1>Messages of $day</h1>",
      "<p>Tolvane signed on as $account at $at: $count.</p>",
      '<table>', '<tr><th>Time</th><th>Who</th><th>Message</th></tr>', @rows, '</table>',
      '</body>', '</html>', '';
}

1;
